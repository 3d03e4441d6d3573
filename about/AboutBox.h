#pragma once
// The About box: the program's title, version and maker, shown on the way out.

#include "runtime/Forms.h"
#include "ui_frmAbout.h"

class AboutBox : public runtime::FormWindow {
    Q_OBJECT
public:
    AboutBox();

    void Form_Load() override;
    void cmdOK_Click();

    Ui::frmAbout ui;
};

inline runtime::Form<AboutBox> frmAbout;
