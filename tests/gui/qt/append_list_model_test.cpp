#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <gtest/gtest.h>

#include "gui/qt/append_list_model.h"

namespace kesp {
namespace {

TEST(AppendListModel, PassesTheModelTesterThroughAppendsFlushesAndClears) {
    AppendListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);

    for (int i = 0; i < 1000; ++i)
        model.append("line " + std::to_string(i));
    EXPECT_EQ(model.rowCount(), 0) << "appends only buffer";
    EXPECT_EQ(model.lines().size(), 1000u);
    model.flush();
    EXPECT_EQ(model.rowCount(), 1000);
    ASSERT_EQ(inserted.count(), 1) << "one insertion for the whole batch";
    EXPECT_EQ(inserted[0][1].toInt(), 0);
    EXPECT_EQ(inserted[0][2].toInt(), 999);
    model.flush();
    EXPECT_EQ(inserted.count(), 1) << "nothing waiting, nothing announced";

    model.append("more");
    model.flush();
    EXPECT_EQ(inserted.count(), 2);
    EXPECT_EQ(model.data(model.index(1000)).toString(), "more");
    model.clear();
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_TRUE(model.lines().empty());
}

TEST(AppendListModel, DecodesNamesOnlyForDisplay) {
    AppendListModel model;
    model.append("/mnt/f/R\xC3\xA9pertoire/");
    model.append(std::string("bad \xFF byte"));
    model.flush();
    EXPECT_EQ(model.data(model.index(0)).toString(), QStringLiteral("/mnt/f/Répertoire/"));
    EXPECT_FALSE(model.data(model.index(1)).toString().isEmpty());
    EXPECT_EQ(model.lines()[1], std::string("bad \xFF byte")) << "the bytes stay as they were";
    EXPECT_FALSE(model.data(model.index(0), Qt::EditRole).isValid());
    EXPECT_FALSE(model.data(model.index(5)).isValid());
}

TEST(AppendListModel, LinesAppendedOutsideAPumpShowOnTheNextEventLoopTurn) {
    AppendListModel model;
    model.append("c:\\ DATA");
    QCoreApplication::processEvents();
    EXPECT_EQ(model.rowCount(), 1);
}

} // namespace
} // namespace kesp
