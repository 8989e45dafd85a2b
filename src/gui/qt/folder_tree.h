#pragma once
// Dir1: the folder tree of one drive, folders only (links are not shown: the walk never follows
// them). Its path is the selected folder, as bytes; the drive's root is the one top item.
#include <QTreeView>
#include <string>

class QFileSystemModel;

namespace kesp {

class DriveFolderFilter;
class FolderEnumerator;
class VolumeFolderModel;

class FolderTree : public QTreeView {
    Q_OBJECT
public:
    explicit FolderTree(QWidget* parent = nullptr);

    // Shows the tree below `root` (a drive's root, ending with the separator) and selects
    // `folder`, which lies below it (or is it). With `folders`, the volume is read through that
    // enumeration (a disk image the host cannot see) instead of the host file system.
    void showDrive(const std::string& root, const std::string& folder,
                   FolderEnumerator* folders = nullptr);
    const std::string& path() const { return path_; }

signals:
    // A right-button press on the tree.
    void rightButtonPressed();

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    void onCurrentChanged(const QModelIndex& current);
    void selectPath();
    // Shows the drive's root as the one top item.
    void hangRoot();
    void useModel(QAbstractItemModel* model);

    QFileSystemModel* files_;
    DriveFolderFilter* filter_;
    VolumeFolderModel* volume_;
    std::string root_;
    std::string path_;
};

} // namespace kesp
