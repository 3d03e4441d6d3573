#pragma once
// The main menu: the start-up form, with a button for each level and Exit.

#include "runtime/Forms.h"
#include "ui_frmTarvonix.h"

class MainMenu : public runtime::FormWindow {
    Q_OBJECT
public:
    MainMenu();

    void Form_Load() override;
    void cmdLevel1_Click();
    void cmdLevel2_Click();
    void cmdLevel3_Click();
    void cmdLevel4_Click();
    void cmdLevel5_Click();
    void cmdExit_Click();

    Ui::frmTarvonix ui;
};

inline runtime::Form<MainMenu> frmTarvonix;
