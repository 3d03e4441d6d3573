#pragma once
// The program's own attributes.

#include <QString>

struct ApplicationAttributes {
    const char* Title;
    int Major;
    int Minor;
    int Revision;
};

inline constexpr ApplicationAttributes App{"TARVONIX", 1, 0, 0};
