#pragma once

class QWidget;

namespace tavrel {

// What the desktop session allows a program's windows.
namespace Session {

// True when the program runs natively on Wayland: there a client can neither place its windows
// nor learn where they are, and the toolkit has no bell.
bool NativeWayland();

// Brings a shown, minimised or covered window to the front where the user is. Under Wayland a
// client cannot raise or restore itself; a window mapped anew comes up in front.
void BringToFront(QWidget* window);

// Makes a box about to open a dialog of a shown window of the program, so that the compositor
// places it over that window and decorates it as a dialog. Under X11 the toolkit does so itself.
void AttachToProgram(QWidget* box);

} // namespace Session

// The system beep. Where the session has none (Wayland), a short bell through the audio
// output; with no audio output there it is silent.
void RingBell();

} // namespace tavrel
