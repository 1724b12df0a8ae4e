// A navigation-bar owner for tests: records every notification and answers
// from a per-code table (default 1).
#ifndef QUILLHORN_RECORDING_OWNER_H
#define QUILLHORN_RECORDING_OWNER_H

#include "nav_bar_notify.h"

#include <QString>
#include <map>
#include <ostream>
#include <vector>

namespace qh::test {

struct NotifyRecord {
    int code;
    int index;
    int second;
    int target;
    QString text;
    int folderFlag;
    bool operator==(const NotifyRecord&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const NotifyRecord& r) {
    return os << "{code " << r.code << ", index " << r.index << ", " << r.second << ", " << r.target << ", \""
              << r.text.toStdString() << "\", folder " << r.folderFlag << "}";
}

class RecordingOwner : public NavBarOwner {
public:
    std::vector<NotifyRecord>* log = &records; // where records go (may outlive the owner)
    std::vector<NotifyRecord> records;
    std::map<int, int> answers;
    int defaultAnswer = 1;

    int navBarNotify(int code, NavBarNotify& block) override {
        log->push_back(
            {code, block.index, block.second, block.target, block.text ? *block.text : QString(), block.folderFlag});
        const auto it = answers.find(code);
        return it == answers.end() ? defaultAnswer : it->second;
    }
};

} // namespace qh::test

#endif
