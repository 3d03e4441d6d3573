#pragma once
// The program's own attributes.

struct ApplicationAttributes {
    const char* Title;
    int Major;
    int Minor;
    int Revision;
};

inline constexpr ApplicationAttributes App{"TARVONIX", 1, 0, 0};
