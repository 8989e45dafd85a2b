// Form1's windows beside it (Opti, the plan, the balance sheet, About), the tool-bar keys and the
// close button.
#include <QCloseEvent>
#include <QDialog>

#include "gui/qt/apropos.h"
#include "gui/qt/balance_window.h"
#include "gui/qt/form1.h"
#include "gui/qt/opti_window.h"
#include "gui/qt/plan_window.h"

namespace kesp {

void Form1::Toolbar1_ButtonClick(const QString& key) {
    controller_.Toolbar1_ButtonClick(key.toStdString());
}

void Form1::setPlanEnabled(bool enabled) {
    planButton_->setEnabled(enabled);
    menuItem(form1::Command::PlanFormatage)->setEnabled(enabled);
}

void Form1::showPlan(plan::PlanWindowModel model) {
    if (!plan_) {
        plan_ = new PlanWindow(std::move(model), [this](const std::vector<std::string>& lines) {
            controller_.printPlan(lines);
        });
        plan_->setAttribute(Qt::WA_DeleteOnClose);
        plan_->setAttribute(Qt::WA_QuitOnClose, false);
    }
    plan_->show();
    plan_->raise();
    plan_->activateWindow();
}

void Form1::closePlan() {
    if (plan_) plan_->close();
}

PlanWindow* Form1::planWindow() const {
    return plan_;
}

void Form1::setBalanceEnabled(bool enabled, const std::string& tip) {
    QAction* item = menuItem(form1::Command::BilanVolume);
    item->setEnabled(enabled);
    item->setToolTip(QString::fromStdString(tip));
}

void Form1::showBalance(plan::BalanceWindowModel model) {
    if (!balance_) {
        balance_ =
            new BalanceWindow(std::move(model), [this](const std::vector<std::string>& lines) {
                controller_.printBalance(lines);
            });
        balance_->setAttribute(Qt::WA_DeleteOnClose);
        balance_->setAttribute(Qt::WA_QuitOnClose, false);
    }
    balance_->show();
    balance_->raise();
    balance_->activateWindow();
}

void Form1::closeBalance() {
    if (balance_) balance_->close();
}

BalanceWindow* Form1::balanceWindow() const {
    return balance_;
}

void Form1::showOpti(const TableOpti& table, const std::string& title) {
    if (!opti_) {
        // Without a parent: a window of its own beside Form1, modeless.
        opti_ = new Opti(table, title);
        opti_->setAttribute(Qt::WA_QuitOnClose, false);
    }
    opti_->show();
    opti_->raise();
    opti_->activateWindow();
}

void Form1::showAbout() {
    if (!apropos_) apropos_ = std::make_unique<apropos>(environment_, launcher_, boxes_);
    apropos_->exec();
}

void Form1::closeEvent(QCloseEvent* event) {
    FinProgramme();
    event->accept();
}

} // namespace kesp
