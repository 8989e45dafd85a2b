#include "cli/volume_options.h"

#include <vector>

#include "cli/line_output.h"
#include "scan/escaped_text.h"
#include "volume/gate.h"

namespace kesp {
namespace {

// Drive1 fixed on one entry; List1 and the message box kept for the caller.
class CommandGateView final : public GateView {
public:
    explicit CommandGateView(std::string drive) : drive_(std::move(drive)) {}

    void clearList1() override { list1.clear(); }
    void appendList1(const std::string& line) override { list1.push_back(line); }
    void setStatusPanel(int, const std::string&) override {}
    void setOkEnabled(bool enabled) override { okEnabled = enabled; }
    std::string driveText() override { return drive_; }
    void setDriveText(const std::string&) override {}
    std::string folderPath() override { return drive_; }
    int setFolderPath(const std::string&) override { return 0; }
    void beep() override {}
    void messageBox(const std::string& text, const std::string&, MessageIcon) override {
        box = text;
    }

    std::vector<std::string> list1;
    bool okEnabled = false;
    std::string box;

private:
    std::string drive_;
};

std::string shown(const std::string& text, bool terminal) {
    return terminal ? escapedFor(EscapeFor::Terminal, text) : text;
}

} // namespace

int gateVolume(const std::string& drive, EtatScan& etat, VolumeService& volumes, std::ostream& out,
               std::ostream& err, bool terminal) {
    CommandGateView view(drive);
    CalculCluster(etat, view, volumes);
    for (const auto& line : view.list1)
        writeLine(out, shown(line, terminal));
    if (!view.okEnabled) return kExitRefused;
    // A file system the gate lets through whose cluster size could not be read: no scan can
    // round a file to a cluster of 0 bytes.
    if (etat.TailleCluster <= 0) {
        err << "kesp-scan: " << shown(drive, terminal)
            << " : taille de cluster inconnue, indiquer --cluster-size\n";
        return kExitRefused;
    }
    return 0;
}

int printVolumeInfo(const std::string& drive, VolumeService& volumes, std::ostream& out,
                    std::ostream& err, bool terminal) {
    CommandGateView view(drive);
    DriveState drives;
    AfficherInfosPartition(drive, drives, view, volumes);
    if (view.box.empty()) {
        err << "kesp-scan: " << shown(drive, terminal)
            << " : informations sur la partition indisponibles\n";
        return kExitRefused;
    }
    // The box's lines end with CR; on a terminal each is escaped on its own.
    std::string text;
    for (std::size_t start = 0;;) {
        const std::size_t end = view.box.find('\r', start);
        text += shown(view.box.substr(start, end - start), terminal);
        if (end == std::string::npos) break;
        text += '\n';
        start = end + 1;
    }
    writeLine(out, text);
    out.flush();
    return out ? 0 : 1;
}

} // namespace kesp
