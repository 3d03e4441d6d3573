#include "app/MainMenu.h"

#include "about/AboutBox.h"
#include "level/LevelWindow.h"

using runtime::OnClick;

MainMenu::MainMenu() {
    ui.setupUi(this);
    FinishDesign();
    OnClick(ui.cmdLevel1, this, &MainMenu::cmdLevel1_Click);
    OnClick(ui.cmdLevel2, this, &MainMenu::cmdLevel2_Click);
    OnClick(ui.cmdLevel3, this, &MainMenu::cmdLevel3_Click);
    OnClick(ui.cmdLevel4, this, &MainMenu::cmdLevel4_Click);
    OnClick(ui.cmdLevel5, this, &MainMenu::cmdLevel5_Click);
    OnClick(ui.cmdExit, this, &MainMenu::cmdExit_Click);
}

void MainMenu::Form_Load() {
    SetLeft(runtime::Centred(runtime::Screen::Width(), Width()));
    SetTop(runtime::Centred(runtime::Screen::Height(), Height()));
}

void MainMenu::cmdLevel1_Click() {
    frmgk.Load();
    frmgk.Show();
}

void MainMenu::cmdLevel2_Click() {
    frmgk1.Load();
    frmgk1.Show();
}

void MainMenu::cmdLevel3_Click() {
    frmgk2.Load();
    frmgk2.Show();
}

void MainMenu::cmdLevel4_Click() {
    frmgk3.Load();
    frmgk3.Show();
}

void MainMenu::cmdLevel5_Click() {
    frmgk4.Load();
    frmgk4.Show();
}

void MainMenu::cmdExit_Click() {
    frmTarvonix.Unload();
    frmAbout.Load();
    frmAbout.Show();
}
