#include "gui/qt/append_list_model.h"

#include <QMetaObject>

#include "gui/qt/display_text.h"

namespace kesp {

void AppendListModel::append(std::string line) {
    lines_.push_back(std::move(line));
    // Lines appended outside a scan (the drive line, the gate's messages) show without a pump.
    if (!flushQueued_) {
        flushQueued_ = true;
        QMetaObject::invokeMethod(this, &AppendListModel::flush, Qt::QueuedConnection);
    }
}

void AppendListModel::flush() {
    flushQueued_ = false;
    if (shown_ == lines_.size()) return;
    beginInsertRows(QModelIndex(), static_cast<int>(shown_), static_cast<int>(lines_.size() - 1));
    shown_ = lines_.size();
    endInsertRows();
}

void AppendListModel::clear() {
    beginResetModel();
    lines_.clear();
    shown_ = 0;
    endResetModel();
}

int AppendListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(shown_);
}

QVariant AppendListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.model() != this ||
        index.row() >= rowCount())
        return {};
    return displayText(lines_[static_cast<std::size_t>(index.row())]);
}

} // namespace kesp
