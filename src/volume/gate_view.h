#pragma once
// What the cluster-size gate, the drive-change handling and the partition report need of the main
// window. Form1, kesp-scan and the tests' recorder implement it.
#include <string>

#include "os/message_box.h"

namespace kesp {

class GateView {
public:
    virtual ~GateView() = default;

    virtual void clearList1() = 0;
    virtual void appendList1(const std::string& line) = 0;
    virtual void setStatusPanel(int position, const std::string& text) = 0;
    virtual void setOkEnabled(bool enabled) = 0;

    virtual std::string driveText() = 0; // Drive1's current entry
    // Selects `entry` in Drive1; when the selection changes, Drive1 reports the change, which runs
    // the drive-change handling again (nested) before this returns.
    virtual void setDriveText(const std::string& entry) = 0;
    virtual std::string folderPath() = 0; // Dir1's path
    // Points Dir1 at a drive entry or at a folder; 0 on success, else the platform error number
    // (kErrorDeviceUnavailable when the drive has no medium).
    virtual int setFolderPath(const std::string& pathOrDrive) = 0;

    virtual void beep() = 0;
    virtual void messageBox(const std::string& text, const std::string& title,
                            MessageIcon icon) = 0;
};

} // namespace kesp
