#include "verify_pane.h"

#include "folder_files.h"
#include "hash_input.h"
#include "output_file.h"
#include "pane_services.h"
#include "text_codec.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <sys/stat.h>

namespace qh {
namespace {

// The check boxes, in the order of kDigestAlgorithms.
const char* const kCheckNames[] = {"md5Check",    "sha1Check",  "sha224Check",   "sha256Check", "sha384Check",
                                   "sha512Check", "crc16Check", "crcCcittCheck", "crc32Check"};

bool checkedAtStart(DigestAlgorithm algorithm) {
    return algorithm == DigestAlgorithm::Md5 || algorithm == DigestAlgorithm::Sha1 ||
           algorithm == DigestAlgorithm::Sha256;
}

constexpr int kSizeColumn = 1;

// File names are bytes; Qt shows them as the file system's encoding reads.
QString fromBytes(const std::string& bytes) {
    return QFile::decodeName(QByteArray::fromStdString(bytes));
}
std::string toBytes(const QString& text) {
    return QFile::encodeName(text).toStdString();
}

QString title(DigestAlgorithm algorithm) {
    const std::string_view name = InfoOf(algorithm).title;
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

QString sizeText(std::uint64_t bytes) {
    static const char* const units[] = {"B", "KiB", "MiB", "GiB", "TiB"};
    double value = static_cast<double>(bytes);
    int unit = 0;
    while (value >= 1024 && unit < 4) {
        value /= 1024;
        ++unit;
    }
    return unit == 0 ? QStringLiteral("%1 B").arg(bytes)
                     : QStringLiteral("%1 %2").arg(value, 0, 'f', 1).arg(QLatin1String(units[unit]));
}

QString verdictText(Verdict verdict) {
    switch (verdict) {
    case Verdict::Ok:
        return CVerifyDlg::tr("通过");
    case Verdict::Failed:
        return CVerifyDlg::tr("失败");
    case Verdict::Missing:
        return CVerifyDlg::tr("缺失");
    case Verdict::Unreadable:
        return CVerifyDlg::tr("无法读取");
    case Verdict::None:
        break;
    }
    return QString();
}

// What a digest cell shows: the digest, or why there is none.
QString cellText(const CheckedFile& file, DigestAlgorithm algorithm) {
    if (file.state == FileState::Missing)
        return CVerifyDlg::tr("缺失");
    if (file.state == FileState::Unreadable)
        return CVerifyDlg::tr("无法读取");
    return fromBytes(DigestOf(file, algorithm).value_or(std::string()));
}

// A file picked or dropped, with the name the table shows: a file its own
// name, a file found in a folder its path from the folder's parent on.
struct Picked {
    std::string path;
    std::string name;
    std::uint64_t size = 0;
};

std::string baseName(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

FileDialogOptions sumListOptions(const QString& defaultName) {
    return {CVerifyDlg::tr("校验和文件(*SUMS *.md5 *.sha1 *.sha224 *.sha256 *.sha384 *.sha512 *.txt);;所有文件(*)"),
            QString(), defaultName};
}

} // namespace

CVerifyDlg::CVerifyDlg(PaneServices& services) : ToolPane(services, kPaneColour) {}

void CVerifyDlg::buildWindow(QWidget* window) {
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setSpacing(4);
    layout->addWidget(buildFileGroup(window), 1);
    layout->addWidget(buildAlgorithmGroup(window));
    layout->addWidget(buildCheckGroup(window));
    onFilesDropped([this](const QStringList& paths) { addPaths(paths); });
    refreshTable();
}

QWidget* CVerifyDlg::buildFileGroup(QWidget* window) {
    auto* group = new QGroupBox(tr("文件"), window);
    table_ = named(new QTableWidget(group), "fileTable");
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setWordWrap(false);
    table_->setTextElideMode(Qt::ElideMiddle);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    table_->horizontalHeader()->setHighlightSections(false);
    auto* addFiles = named(new QPushButton(tr("添加文件"), group), "addFilesButton");
    auto* addFolder = named(new QPushButton(tr("添加文件夹"), group), "addFolderButton");
    auto* clear = named(new QPushButton(tr("清除"), group), "clearButton");
    auto* compute = named(new QPushButton(tr("计算"), group), "computeButton");

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(addFiles);
    buttons->addWidget(addFolder);
    buttons->addWidget(clear);
    buttons->addStretch(1);
    buttons->addWidget(compute);
    auto* layout = new QVBoxLayout(group);
    layout->setContentsMargins(6, 4, 6, 6);
    layout->setSpacing(4);
    layout->addWidget(table_, 1);
    layout->addLayout(buttons);

    QObject::connect(addFiles, &QPushButton::clicked, group, [this] { browseFiles(); });
    QObject::connect(addFolder, &QPushButton::clicked, group, [this] { browseFolder(); });
    QObject::connect(compute, &QPushButton::clicked, group, [this] { this->compute(); });
    QObject::connect(clear, &QPushButton::clicked, group, [this] {
        rows_.clear();
        improperLines_ = 0;
        refreshTable();
    });
    return group;
}

// The check boxes three by three, a family to a row, beside the commands
// that take the results out, the sum lists' format by their side.
QWidget* CVerifyDlg::buildAlgorithmGroup(QWidget* window) {
    auto* group = new QGroupBox(tr("算法"), window);
    auto* grid = new QGridLayout(group);
    grid->setContentsMargins(6, 4, 6, 6);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(2);
    for (std::size_t i = 0; i < kDigestAlgorithms.size(); ++i) {
        checks_[i] = named(new QCheckBox(title(kDigestAlgorithms[i]), group), kCheckNames[i]);
        checks_[i]->setChecked(checkedAtStart(kDigestAlgorithms[i]));
        grid->addWidget(checks_[i], static_cast<int>(i / 3), static_cast<int>(i % 3));
        QObject::connect(checks_[i], &QCheckBox::toggled, group, [this] { refreshTable(); });
    }
    auto* copy = named(new QPushButton(tr("复制"), group), "copyButton");
    auto* save = named(new QPushButton(tr("保存"), group), "saveButton");
    tagged_ = named(new QCheckBox(tr("带标签格式"), group), "taggedCheck");
    grid->addWidget(copy, 0, 3);
    grid->addWidget(save, 1, 3);
    grid->addWidget(tagged_, 2, 3);
    grid->setColumnStretch(2, 1);

    QObject::connect(copy, &QPushButton::clicked, group, [this] { copyTable(); });
    QObject::connect(save, &QPushButton::clicked, group, [this] { saveSums(); });
    return group;
}

QWidget* CVerifyDlg::buildCheckGroup(QWidget* window) {
    auto* group = new QGroupBox(tr("校验"), window);
    expected_ = named(new QLineEdit(group), "expectedEdit");
    expected_->setPlaceholderText(tr("粘贴期望的散列值, 或校验和文件中的一行"));
    summary_ = named(new QLabel(group), "summaryLabel");
    summary_->setWordWrap(true);
    summary_->setMinimumHeight(summary_->fontMetrics().height()); // the layout does not jump when it fills
    auto* open = named(new QPushButton(tr("打开校验和文件"), group), "openSumListButton");

    auto* row = new QHBoxLayout;
    row->addWidget(expected_, 1);
    row->addWidget(open);
    auto* layout = new QVBoxLayout(group);
    layout->setContentsMargins(6, 4, 6, 6);
    layout->setSpacing(4);
    layout->addLayout(row);
    layout->addWidget(summary_);

    QObject::connect(expected_, &QLineEdit::textChanged, group, [this](const QString& text) {
        pasted_ = ParseExpectedDigest(toBytes(text));
        refreshMatches();
    });
    QObject::connect(open, &QPushButton::clicked, group, [this] { openSumList(); });
    return group;
}

void CVerifyDlg::windowDestroying() {
    rows_.clear();
    columns_.clear();
    pasted_.reset();
    improperLines_ = 0;
    table_ = nullptr;
    checks_.fill(nullptr);
    tagged_ = nullptr;
    expected_ = nullptr;
    summary_ = nullptr;
}

std::vector<DigestAlgorithm> CVerifyDlg::checkedAlgorithms() const {
    std::vector<DigestAlgorithm> algorithms;
    for (std::size_t i = 0; i < kDigestAlgorithms.size(); ++i)
        if (checks_[i] && checks_[i]->isChecked())
            algorithms.push_back(kDigestAlgorithms[i]);
    return algorithms;
}

// Files are added in a job: a folder may hold many thousands.
void CVerifyDlg::addPaths(const QStringList& paths) {
    std::vector<std::string> given;
    for (const QString& path : paths)
        if (!path.isEmpty())
            given.push_back(toBytes(QDir::cleanPath(QFileInfo(path).absoluteFilePath())));
    if (given.empty())
        return;
    runJob(
        [this, given](Progress& progress) -> JobFinish {
            std::vector<Picked> picked;
            std::vector<std::string> unreadable;
            for (const std::string& path : given) {
                struct stat info {};
                if (::stat(path.c_str(), &info) != 0) {
                    unreadable.push_back(path);
                } else if (!S_ISDIR(info.st_mode)) {
                    picked.push_back({path, baseName(path), static_cast<std::uint64_t>(info.st_size)});
                } else if (std::optional<std::vector<std::string>> files = FilesInFolder(path, &progress)) {
                    const std::size_t parent = path == "/" ? 1 : path.size() - baseName(path).size();
                    for (std::string& file : *files) {
                        struct stat each {};
                        const bool known = ::stat(file.c_str(), &each) == 0;
                        std::string name = file.substr(parent);
                        picked.push_back(
                            {std::move(file), std::move(name), known ? static_cast<std::uint64_t>(each.st_size) : 0});
                    }
                } else if (!progress.Cancelled()) {
                    unreadable.push_back(path);
                }
            }
            return [this, picked, unreadable] {
                for (const Picked& each : picked) {
                    const bool listed = std::any_of(rows_.begin(), rows_.end(),
                                                    [&](const CheckedFile& row) { return row.path == each.path; });
                    if (!listed)
                        rows_.push_back({each.name, each.path, each.size, {}, FileState::Unread, {}});
                }
                refreshTable();
                if (!unreadable.empty())
                    services().showMessage(window(), CannotOpenFileMessage(fromBytes(unreadable.front())),
                                           caption::Error, MessageKind::Error);
            };
        },
        JobUnit::Steps);
}

void CVerifyDlg::browseFiles() {
    addPaths(services().askOpenFileNames(window(), {tr("所有文件(*)"), QString(), QString()}));
}

void CVerifyDlg::browseFolder() {
    FileDialogOptions options;
    options.folder = true;
    addPaths({services().askOpenFileName(window(), options)});
}

void CVerifyDlg::compute() {
    const std::vector<DigestAlgorithm> algorithms = checkedAlgorithms();
    const bool expectations =
        std::any_of(rows_.begin(), rows_.end(), [](const CheckedFile& row) { return !row.expected.empty(); });
    if (rows_.empty()) {
        services().showMessage(window(), tr("请先添加文件."), caption::Information, MessageKind::Information);
        return;
    }
    if (algorithms.empty() && !expectations) {
        services().showMessage(window(), tr("请至少选择一种算法."), caption::Information, MessageKind::Information);
        return;
    }
    runJob([this, rows = rows_, algorithms](Progress& progress) mutable -> JobFinish {
        if (!DigestFiles(rows, algorithms, &progress))
            return {};
        return [this, rows] {
            rows_ = rows;
            refreshTable();
        };
    });
}

void CVerifyDlg::openSumList() {
    const QString path = services().askOpenFileName(window(), sumListOptions(QString()));
    if (path.isEmpty())
        return;
    const std::string listPath = toBytes(QFileInfo(path).absoluteFilePath());
    runJob([this, path, listPath](Progress& progress) -> JobFinish {
        SumList list = ReadSumList(listPath);
        if (list.status == SumList::Status::Ok && !DigestFiles(list.files, {}, &progress))
            return {};
        return [this, path, list] {
            if (list.status == SumList::Status::NoProperLines) {
                services().showMessage(window(), tr("%1 中没有格式正确的校验和行.").arg(QDir::toNativeSeparators(path)),
                                       caption::Error, MessageKind::Error);
                return;
            }
            if (list.status != SumList::Status::Ok) {
                services().showMessage(window(), CannotOpenFileMessage(QDir::toNativeSeparators(path)), caption::Error,
                                       MessageKind::Error);
                return;
            }
            rows_ = list.files;
            improperLines_ = list.improperLines;
            // The list's algorithms become the columns.
            for (std::size_t i = 0; i < kDigestAlgorithms.size(); ++i) {
                const QSignalBlocker quiet(checks_[i]);
                checks_[i]->setChecked(std::find(list.algorithms.begin(), list.algorithms.end(),
                                                 kDigestAlgorithms[i]) != list.algorithms.end());
            }
            refreshTable();
        };
    });
}

// Columns: the file, its size, the verdict when a file has expectations (so
// that it shows without scrolling), then one per chosen algorithm.
void CVerifyDlg::refreshTable() {
    if (!table_)
        return;
    columns_ = checkedAlgorithms();
    const bool verdicts =
        std::any_of(rows_.begin(), rows_.end(), [](const CheckedFile& row) { return !row.expected.empty(); });
    firstDigestColumn_ = verdicts ? kSizeColumn + 2 : kSizeColumn + 1;
    QStringList headers = {tr("文件"), tr("大小")};
    if (verdicts)
        headers.append(tr("结果"));
    for (DigestAlgorithm algorithm : columns_)
        headers.append(title(algorithm));

    table_->clear();
    table_->setColumnCount(static_cast<int>(headers.size()));
    table_->setRowCount(static_cast<int>(rows_.size()));
    table_->setHorizontalHeaderLabels(headers);
    for (std::size_t r = 0; r < rows_.size(); ++r) {
        const CheckedFile& row = rows_[r];
        const int at = static_cast<int>(r);
        auto* name = new QTableWidgetItem(fromBytes(row.name));
        name->setToolTip(QDir::toNativeSeparators(fromBytes(row.path)));
        table_->setItem(at, 0, name);
        const bool sized = row.state == FileState::Unread || row.state == FileState::Digested;
        auto* size = new QTableWidgetItem(sized ? sizeText(row.size) : QString());
        size->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        if (sized)
            size->setToolTip(tr("%1 字节").arg(row.size));
        table_->setItem(at, kSizeColumn, size);
        if (verdicts)
            table_->setItem(at, kSizeColumn + 1, new QTableWidgetItem(verdictText(VerdictOf(row))));
        for (std::size_t c = 0; c < columns_.size(); ++c) {
            auto* digest = new QTableWidgetItem(cellText(row, columns_[c]));
            digest->setToolTip(digest->text());
            table_->setItem(at, firstDigestColumn_ + static_cast<int>(c), digest);
        }
    }
    // The digests share what width is left, each at least wide enough to
    // tell digests apart; the whole of one is in its tooltip and in a copy.
    table_->setColumnWidth(0, 110);
    table_->setColumnWidth(kSizeColumn, 64);
    if (verdicts)
        table_->resizeColumnToContents(kSizeColumn + 1);
    int left = table_->viewport()->width();
    for (int c = 0; c < firstDigestColumn_; ++c)
        left -= table_->columnWidth(c);
    const int columns = static_cast<int>(columns_.size());
    for (int c = 0; c < columns; ++c) {
        table_->resizeColumnToContents(firstDigestColumn_ + c);
        const int share = std::max(90, left / columns);
        table_->setColumnWidth(firstDigestColumn_ + c, std::min(table_->columnWidth(firstDigestColumn_ + c), share));
    }
    refreshMatches();
}

void CVerifyDlg::refreshMatches() {
    if (!table_)
        return;
    // A pasted list line that names a file of the table speaks of that file
    // only; anything else is compared with every file.
    const bool namesARow =
        pasted_ && !pasted_->name.empty() && std::any_of(rows_.begin(), rows_.end(), [this](const CheckedFile& row) {
            return row.name == pasted_->name || baseName(row.path) == baseName(pasted_->name);
        });
    std::size_t pastedMatches = 0;
    bool pastedCompared = false;
    for (std::size_t r = 0; r < rows_.size(); ++r) {
        const CheckedFile& row = rows_[r];
        std::vector<Expectation> expectations = row.expected;
        std::vector<Expectation> pasted;
        if (pasted_ && (!namesARow || row.name == pasted_->name || baseName(row.path) == baseName(pasted_->name)))
            pasted.push_back({pasted_->digest, pasted_->algorithms});
        expectations.insert(expectations.end(), pasted.begin(), pasted.end());
        bool rowMatches = false;
        for (std::size_t c = 0; c < columns_.size(); ++c) {
            QTableWidgetItem* cell = table_->item(static_cast<int>(r), firstDigestColumn_ + static_cast<int>(c));
            const CellMatch match = MatchOf(row, columns_[c], expectations);
            cell->setBackground(match == CellMatch::Match      ? QBrush(kMatchColour)
                                : match == CellMatch::Mismatch ? QBrush(kMismatchColour)
                                                               : QBrush());
            if (match != CellMatch::None)
                cell->setForeground(QBrush(Qt::black));
            const CellMatch ofPasted = MatchOf(row, columns_[c], pasted);
            pastedCompared = pastedCompared || ofPasted != CellMatch::None;
            rowMatches = rowMatches || ofPasted == CellMatch::Match;
        }
        pastedMatches += rowMatches ? 1 : 0;
    }

    QStringList lines;
    if (std::any_of(rows_.begin(), rows_.end(), [](const CheckedFile& row) { return !row.expected.empty(); })) {
        std::size_t counts[5] = {};
        std::size_t listed = 0;
        for (const CheckedFile& row : rows_) {
            if (row.expected.empty())
                continue;
            ++listed;
            ++counts[static_cast<int>(VerdictOf(row))];
        }
        QString text = tr("共 %1 个文件: %2 个通过, %3 个失败, %4 个缺失")
                           .arg(listed)
                           .arg(counts[static_cast<int>(Verdict::Ok)])
                           .arg(counts[static_cast<int>(Verdict::Failed)])
                           .arg(counts[static_cast<int>(Verdict::Missing)]);
        if (const std::size_t unreadable = counts[static_cast<int>(Verdict::Unreadable)]; unreadable > 0)
            text += tr(", %1 个无法读取").arg(unreadable);
        if (improperLines_ > 0)
            text += tr(", %1 行格式不对").arg(improperLines_);
        lines.append(text);
    }
    if (expected_ && !expected_->text().trimmed().isEmpty()) {
        if (!pasted_)
            lines.append(tr("期望值不是散列值."));
        else if (pastedMatches > 0)
            lines.append(tr("期望值与 %1 个文件相符.").arg(pastedMatches));
        else if (pastedCompared)
            lines.append(tr("没有文件与期望值相符."));
    }
    summary_->setText(lines.join(QLatin1Char('\n')));
}

QString CVerifyDlg::tableText() const {
    QStringList lines;
    QStringList header;
    for (int c = 0; c < table_->columnCount(); ++c)
        header.append(table_->horizontalHeaderItem(c)->text());
    lines.append(header.join(QLatin1Char('\t')));
    for (int r = 0; r < table_->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < table_->columnCount(); ++c) {
            const CheckedFile& row = rows_[static_cast<std::size_t>(r)];
            const bool sized = row.state == FileState::Unread || row.state == FileState::Digested;
            // The size exactly, in bytes, for whatever the text goes into.
            cells.append(c == kSizeColumn ? (sized ? QString::number(row.size) : QString())
                                          : table_->item(r, c)->text());
        }
        lines.append(cells.join(QLatin1Char('\t')));
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

void CVerifyDlg::copyTable() {
    if (rows_.empty())
        return;
    CopyResult(services(), window(), toMultiLineBytes(tableText()));
}

void CVerifyDlg::saveSums() {
    std::vector<DigestAlgorithm> algorithms;
    for (DigestAlgorithm algorithm : columns_)
        if (std::any_of(rows_.begin(), rows_.end(),
                        [algorithm](const CheckedFile& row) { return DigestOf(row, algorithm).has_value(); }))
            algorithms.push_back(algorithm);
    if (algorithms.empty()) {
        services().showMessage(window(), tr("没有可保存的散列值, 请先计算."), caption::Information,
                               MessageKind::Information);
        return;
    }
    // Tagged lines name their algorithm, so one list holds them all; plain
    // lines do not, so each algorithm has a list of its own, as md5sum and
    // sha256sum write them.
    if (tagged_->isChecked()) {
        const QString path = services().askSaveFileName(window(), sumListOptions(QStringLiteral("CHECKSUMS")));
        if (!path.isEmpty())
            writeSumFile(path, algorithms, true);
        return;
    }
    for (DigestAlgorithm algorithm : algorithms) {
        const std::string_view tag = InfoOf(algorithm).tag;
        const QString defaultName = QString::fromLatin1(tag.data(), static_cast<qsizetype>(tag.size())) + "SUMS";
        const QString path = services().askSaveFileName(window(), sumListOptions(defaultName));
        if (path.isEmpty() || !writeSumFile(path, {algorithm}, false))
            return;
    }
}

// Names are written relative to the list's folder, so that the list checks
// wherever the folder goes; a file outside that folder keeps its full path.
bool CVerifyDlg::writeSumFile(const QString& path, const std::vector<DigestAlgorithm>& algorithms, bool tagged) {
    const QDir folder = QFileInfo(path).absoluteDir();
    std::string text;
    for (const CheckedFile& row : rows_) {
        const QString file = fromBytes(row.path);
        QString name = folder.relativeFilePath(file);
        if (name.startsWith(QLatin1String("../")))
            name = file;
        for (DigestAlgorithm algorithm : algorithms)
            if (const std::optional<std::string> digest = DigestOf(row, algorithm))
                text += DigestLine(algorithm, *digest, toBytes(name), tagged);
    }
    OutputFile output;
    if (output.Open(toBytes(path)) && output.Write(text.data(), text.size()) && output.Commit())
        return true;
    services().showMessage(window(), CannotOpenFileMessage(QDir::toNativeSeparators(path)), caption::Error,
                           MessageKind::Error);
    return false;
}

} // namespace qh
