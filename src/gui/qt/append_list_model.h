#pragma once
// The model of List1 and List3: lines as bytes, appended at the end only. append() just
// buffers; flush() makes the buffered lines visible with one row insertion, so a scan that lists
// hundreds of thousands of lines costs one model notification per pump, not one per line.
#include <QAbstractListModel>
#include <string>
#include <vector>

namespace kesp {

class AppendListModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    void append(std::string line);
    // Inserts every buffered line; nothing when none is waiting.
    void flush();
    void clear();

    // Every line, buffered ones included.
    const std::vector<std::string>& lines() const { return lines_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    std::vector<std::string> lines_;
    std::size_t shown_ = 0; // lines_[0, shown_) are rows of the model
    bool flushQueued_ = false;
};

} // namespace kesp
