// Form1's windows beside it (Opti, the plan, the balance sheet, About), the tool-bar keys and the
// close button.
#include <QCloseEvent>
#include <QDialog>

#include "about/apropos.h"
#include "mainwindow/form1.h"
#include "planwindow/balance_window.h"
#include "planwindow/plan_window.h"
#include "volume/opti_window.h"

namespace kesp {

void Form1::Toolbar1_ButtonClick(const QString& key) {
    controller_.Toolbar1_ButtonClick(key.toStdString());
}

void Form1::setPlanEnabled(bool enabled) {
    planButton_->setEnabled(enabled);
    menuPlan_->setEnabled(enabled);
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
    menuBilan_->setEnabled(enabled);
    menuBilan_->setToolTip(QString::fromStdString(tip));
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
