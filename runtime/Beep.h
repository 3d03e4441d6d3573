#pragma once
// The system's default sound.

namespace runtime {

// Sounds the desktop's bell once and returns at once, without waiting for the sound.
//
// The bell is the desktop sound theme's "bell-window-system", played through the
// desktop's sound server (PulseAudio, or PipeWire in its place) with libcanberra, the
// event-sound library of GNOME and KDE. Where the desktop has turned event sounds off
// (its X11 settings daemon's Net/EnableEventSounds, or GNOME's own setting), nothing
// sounds. Where there is no sound server, or the theme has no bell, the X server's bell
// rings instead, as a window manager may turn it into a sound of its own. A program with
// no screen to show its windows on (Qt's offscreen platform) makes no sound.
//
// The sound is played on a thread of its own, which loads the sound library when the
// first bell is asked for: a slow or hung sound server delays neither the caller, nor
// the program's start, nor its end. While that thread is held up, a few bells wait for
// it and any more are dropped.
void Beep();

// How many times the program has beeped since it started; tests count them.
int BeepCount();

}  // namespace runtime
