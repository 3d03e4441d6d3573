#include "about/AboutBox.h"

#include "app/Project.h"

AboutBox::AboutBox() {
    ui.setupUi(this);
    FinishDesign();
    runtime::OnClick(ui.cmdOK, this, &AboutBox::cmdOK_Click);
}

void AboutBox::Form_Load() {
    SetTop(runtime::Centred(runtime::Screen::Height(), Height()));
    SetLeft(runtime::Centred(runtime::Screen::Width(), Width()));
    setWindowTitle(QStringLiteral("About ") + QString::fromLatin1(App.Title));
    ui.lblVersion->setText(QStringLiteral("Version %1.%2.%3").arg(App.Major).arg(App.Minor).arg(App.Revision));
    ui.lblTitle->setText(QString::fromLatin1(App.Title));
}

void AboutBox::cmdOK_Click() { frmAbout.Unload(); }
