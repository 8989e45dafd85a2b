#include "gui/qt/folder_tree.h"

#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QMouseEvent>
#include <QSortFilterProxyModel>

#include "gui/qt/display_text.h"
#include "gui/qt/folder_order.h"
#include "gui/qt/volume_folder_model.h"

namespace kesp {

namespace {

QString decode(const std::string& bytes) {
    return QDir::cleanPath(displayText(bytes));
}

bool isSameOrBelow(const QString& path, const QString& top) {
    if (path == top) return true;
    if (!path.startsWith(top)) return false;
    return top.endsWith(QLatin1Char('/')) || path.at(top.size()) == QLatin1Char('/');
}

} // namespace

// Keeps the drive's root, its ancestors (so the view can hang the root below one of them) and
// everything below the root; hides the rest of the machine. Folders come in FolderOrder.
class DriveFolderFilter : public QSortFilterProxyModel {
public:
    explicit DriveFolderFilter(QObject* parent) : QSortFilterProxyModel(parent) {
        setDynamicSortFilter(true);
        sort(0, Qt::AscendingOrder);
    }

    void setRoot(const QString& root) {
        root_ = root;
        invalidateFilter();
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
        const auto* files = static_cast<const QFileSystemModel*>(sourceModel());
        const QString path = files->filePath(files->index(row, 0, parent));
        return isSameOrBelow(path, root_) || isSameOrBelow(root_, path);
    }

    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override {
        const auto* files = static_cast<const QFileSystemModel*>(sourceModel());
        return order_(files->fileName(left), files->fileName(right));
    }

private:
    QString root_ = QStringLiteral("/");
    FolderOrder order_;
};

FolderTree::FolderTree(QWidget* parent)
    : QTreeView(parent), files_(new QFileSystemModel(this)), filter_(new DriveFolderFilter(this)),
      volume_(new VolumeFolderModel(this)) {
    files_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::NoSymLinks | QDir::Hidden);
    files_->setReadOnly(true);
    files_->setOption(QFileSystemModel::DontUseCustomDirectoryIcons);
    filter_->setSourceModel(files_);
    setHeaderHidden(true);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    useModel(filter_);
    connect(this, &QTreeView::expanded, this, [this](const QModelIndex& index) {
        if (model() == volume_) volume_->load(index);
    });
    // Folders below the root are read in the background: select and unfold once they are in.
    connect(files_, &QFileSystemModel::directoryLoaded, this, [this] {
        hangRoot();
        selectPath();
    });
    // The view lets go of its root item when the model drops it for a moment (a folder above it
    // read again); hang it back.
    connect(filter_, &QAbstractItemModel::rowsInserted, this, [this] { hangRoot(); });
    connect(filter_, &QAbstractItemModel::layoutChanged, this, [this] { hangRoot(); });
}

void FolderTree::useModel(QAbstractItemModel* model) {
    if (this->model() == model) return;
    setModel(model);
    for (int column = 1; column < model->columnCount(); ++column)
        hideColumn(column);
    // Each model comes with a selection model of its own.
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { onCurrentChanged(current); });
}

void FolderTree::showDrive(const std::string& root, const std::string& folder,
                           FolderEnumerator* folders) {
    root_ = root;
    path_ = folder;
    if (folders) {
        useModel(volume_);
        volume_->showRoot(*folders, root);
        setRootIndex(QModelIndex());
        selectPath();
        return;
    }
    useModel(filter_);
    const QString rootPath = decode(root);
    files_->setRootPath(rootPath);
    filter_->setRoot(rootPath);
    hangRoot();
    selectPath();
}

void FolderTree::hangRoot() {
    if (root_.empty() || model() != filter_) return;
    const QModelIndex rootItem = filter_->mapFromSource(files_->index(decode(root_)));
    if (rootItem.isValid() && rootIndex() != rootItem.parent()) setRootIndex(rootItem.parent());
}

void FolderTree::selectPath() {
    QModelIndex index;
    if (model() == volume_) {
        index = volume_->indexOf(path_);
    } else {
        const QModelIndex source = files_->index(decode(path_));
        if (!source.isValid()) return;
        index = filter_->mapFromSource(source);
    }
    if (!index.isValid() || index == currentIndex()) return;
    {
        // The selection is the program's, not the user's: path_ stays as given.
        const QSignalBlocker blocker(selectionModel());
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    }
    expand(index);
    scrollTo(index);
}

void FolderTree::onCurrentChanged(const QModelIndex& current) {
    if (!current.isValid()) return;
    if (model() == volume_) {
        path_ = VolumeFolderModel::pathOf(current);
        return;
    }
    const QString chosen = files_->filePath(filter_->mapToSource(current));
    // The root keeps the form it was given in ("/mnt/f32/", "/").
    if (chosen == decode(root_)) {
        path_ = root_;
        return;
    }
    const QByteArray bytes = QFile::encodeName(chosen);
    path_.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

void FolderTree::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        emit rightButtonPressed();
        return;
    }
    QTreeView::mousePressEvent(event);
}

} // namespace kesp
