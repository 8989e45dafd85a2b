#include "gui/qt/volume_folder_model.h"

#include <algorithm>
#include <vector>

#include "gui/qt/display_text.h"
#include "gui/qt/folder_order.h"
#include "os/folder_enum.h"

namespace kesp {

namespace {

constexpr int kPathRole = Qt::UserRole + 1;
constexpr int kLoadedRole = Qt::UserRole + 2;

} // namespace

VolumeFolderModel::VolumeFolderModel(QObject* parent) : QStandardItemModel(parent) {}

QStandardItem* VolumeFolderModel::itemFor(const std::string& name, const std::string& path) {
    auto* item = new QStandardItem(displayText(name));
    item->setEditable(false);
    item->setData(QByteArray::fromStdString(path), kPathRole);
    item->setData(false, kLoadedRole);
    // A stand-in child, so the item can be unfolded before its folders are read.
    item->appendRow(new QStandardItem());
    return item;
}

void VolumeFolderModel::showRoot(FolderEnumerator& folders, const std::string& root) {
    folders_ = &folders;
    clear();
    appendRow(itemFor(root, root));
    load(index(0, 0));
}

void VolumeFolderModel::load(const QModelIndex& index) {
    QStandardItem* item = itemFromIndex(index);
    if (!item || !folders_ || item->data(kLoadedRole).toBool()) return;
    item->setData(true, kLoadedRole);
    const std::string path = pathOf(index);
    std::vector<std::string> names;
    {
        auto listing = folders_->open(path);
        FolderEntry entry;
        while (listing->next(entry))
            if (entry.isDirectory) names.push_back(entry.name);
    }
    const FolderOrder order;
    std::sort(names.begin(), names.end(), [&order](const std::string& a, const std::string& b) {
        return order(displayText(a), displayText(b));
    });
    item->removeRows(0, item->rowCount());
    for (const std::string& name : names)
        item->appendRow(itemFor(name, path + name + "/"));
}

QModelIndex VolumeFolderModel::indexOf(const std::string& path) {
    QModelIndex current = index(0, 0);
    if (!current.isValid()) return {};
    const std::string root = pathOf(current);
    if (path.compare(0, root.size(), root) != 0) return {};
    std::size_t at = root.size();
    while (at < path.size()) {
        const std::size_t end = path.find('/', at);
        const std::string wanted = path.substr(0, end == std::string::npos ? path.size() : end + 1);
        load(current);
        QModelIndex next;
        for (int row = 0; row < rowCount(current) && !next.isValid(); ++row)
            if (pathOf(index(row, 0, current)) == wanted ||
                pathOf(index(row, 0, current)) == wanted + "/")
                next = index(row, 0, current);
        if (!next.isValid()) return {};
        current = next;
        at = wanted.size();
    }
    return current;
}

std::string VolumeFolderModel::pathOf(const QModelIndex& index) {
    return index.data(kPathRole).toByteArray().toStdString();
}

} // namespace kesp
