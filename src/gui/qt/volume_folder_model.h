#pragma once
// The folders of a volume that only the program can read (a FAT image), for Dir1: read through
// the same folder enumeration as the scan, one level at a time as the user unfolds it.
#include <QStandardItemModel>
#include <string>

namespace kesp {

class FolderEnumerator;

class VolumeFolderModel : public QStandardItemModel {
    Q_OBJECT
public:
    explicit VolumeFolderModel(QObject* parent = nullptr);

    // One top item, `root` (ending with "/"), its sub-folders read at once.
    void showRoot(FolderEnumerator& folders, const std::string& root);
    // Reads the sub-folders of `index` if they are not yet in.
    void load(const QModelIndex& index);
    // The item of `path` (ending with "/"), reading the levels that lead to it; invalid when
    // it is not a folder of the volume.
    QModelIndex indexOf(const std::string& path);
    // The folder's path as bytes, ending with "/".
    static std::string pathOf(const QModelIndex& index);

private:
    QStandardItem* itemFor(const std::string& name, const std::string& path);

    FolderEnumerator* folders_ = nullptr;
};

} // namespace kesp
