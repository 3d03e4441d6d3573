// What differs between the five level windows.

#include "level/LevelWindow.h"

namespace {
constexpr const char* Bookman = "Bookman Old Style";
constexpr const char* Times = "Times New Roman";
}  // namespace

const LevelDesign LevelDesigns[5] = {
    {1, "frmgk", &frmgk, "Level 1 consists 200 Questions. Click on Start Button to start the Quiz", "Level 1",
     QColor(255, 0, 0), Bookman, 600, 1815, QColor(0, 0, 255), 3765, 375, {240, 5160}, {1320, 5160}, true,
     "Level 1 completed"},
    {2, "frmgk1", &frmgk1, "Level 2 consists 200 Questions. Click on Start Button to start the Quiz", "Level 2",
     QColor(0, 0, 255), Bookman, 600, 1695, QColor(255, 128, 0), 3375, 495, {240, 5160}, {1200, 5160}, false,
     "Level 2 completed"},
    {3, "frmgk2", &frmgk2, "Level 3 consists 200 Questions. Click on Start Button to start the Quiz", "Level 3",
     QColor(192, 64, 0), Bookman, 600, 1815, QColor(128, 0, 0), 3375, 495, {240, 5160}, {960, 5160}, false,
     "Level 3 completed"},
    {4, "frmgk3", &frmgk3, "Level 4 consists 200 Questions. Click on Start Button to start the Quiz", "Level  4",
     QColor(255, 0, 0), Times, 700, 1815, QColor(0, 128, 0), 3375, 495, {240, 5280}, {1080, 5280}, false,
     "Level 4 completed"},
    {5, "frmgk4", &frmgk4, "Level 5 consists 200 Questions. Click on Start Button to start the Quiz", "Level  5",
     QColor(0, 0, 192), Times, 700, 1815, QColor(128, 0, 128), 3375, 495, {240, 5280}, {1080, 5280}, false,
     "Level 5 completed"},
};
