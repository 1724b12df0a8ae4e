// The pane that checks files against their digests: files and folders are
// dropped or picked, every chosen digest of each file comes from one reading
// of it, and the results show in a table that can be copied or saved as sum
// lists. A digest pasted into the pane, or a sum list opened in it, colours
// each cell that matches green and each that does not red.
#ifndef QUILLHORN_VERIFY_PANE_H
#define QUILLHORN_VERIFY_PANE_H

#include "crc_pane.h"
#include "list_check.h"
#include "sum_file.h"
#include "tool_pane.h"

#include <QCoreApplication>
#include <array>
#include <optional>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QTableWidget;

namespace qh {

class CVerifyDlg : public ToolPane {
    Q_DECLARE_TR_FUNCTIONS(qh::CVerifyDlg)

public:
    // The hash panes' colour, as the CRC pane beside it in the bar.
    static constexpr QColor kPaneColour = CCRCDlg::kPaneColour;
    // The cells that match an expected digest, and those that do not.
    static constexpr QColor kMatchColour{150, 220, 150};
    static constexpr QColor kMismatchColour{240, 150, 150};

    explicit CVerifyDlg(PaneServices& services);
    const char* className() const override { return "CVerifyDlg"; }

protected:
    void buildWindow(QWidget* window) override;
    void windowDestroying() override;

private:
    QWidget* buildFileGroup(QWidget* window);
    QWidget* buildAlgorithmGroup(QWidget* window);
    QWidget* buildCheckGroup(QWidget* window);

    void addPaths(const QStringList& paths);
    void browseFiles();
    void browseFolder();
    void compute();
    void openSumList();
    void copyTable();
    void saveSums();

    std::vector<DigestAlgorithm> checkedAlgorithms() const;
    // The table from rows_, the columns from the check boxes.
    void refreshTable();
    // The colours of the digest cells and the summary, from the expectations.
    void refreshMatches();
    bool writeSumFile(const QString& path, const std::vector<DigestAlgorithm>& algorithms, bool tagged);
    QString tableText() const;

    std::vector<CheckedFile> rows_;
    std::vector<DigestAlgorithm> columns_;
    std::optional<ExpectedDigest> pasted_;
    std::size_t improperLines_ = 0; // in the sum list opened last
    int firstDigestColumn_ = 2;

    QTableWidget* table_ = nullptr;
    std::array<QCheckBox*, kDigestAlgorithms.size()> checks_{};
    QCheckBox* tagged_ = nullptr;
    QLineEdit* expected_ = nullptr;
    QLabel* summary_ = nullptr;
};

} // namespace qh

#endif
