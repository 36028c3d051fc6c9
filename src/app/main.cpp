// Wires the real services together and runs the program: the start-up pass, then the event loop
// for as long as the main window is loaded.
#include "Clock.h"
#include "DateText.h"
#include "ProgramFolder.h"
#include "QtComposerDialogs.h"
#include "QtDialogs.h"
#include "Registry.h"
#include "SingleInstance.h"
#include "Sound.h"
#include "StartupAndRoutines.h"
#include "WindowLook.h"
#include "composer/frmmain.h"
#include "tray/TrayIcon.h"

#include <QApplication>
#include <cstdlib>
#include <memory>

using namespace tavrel;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tavrel"));
    // The desktop entry's name: Wayland compositors find the program's icon and name through it.
    QGuiApplication::setDesktopFileName(QStringLiteral("tavrel"));
    // A hidden main window is the normal state: only the close sequence ends the program.
    QApplication::setQuitOnLastWindowClosed(false);
    // Decoded once: every size of the icon is read from its image when the icon is made.
    const QIcon icon = ProgramIcon();
    QApplication::setWindowIcon(icon);

    SystemClock clock;
    QtDialogs dialogs;
    const std::unique_ptr<SoundPlayer> sound = SystemSoundPlayer();
    const DateText dates;
    Registry registry(dialogs);
    SingleInstance instance;
    const bool anotherCopyRunning = !instance.tryAcquire();

    TrayIcon tray(icon);
    std::unique_ptr<frmmain> window;
    std::unique_ptr<QtComposerDialogs> composerDialogs;

    StartupAndRoutines engine(
        clock, dialogs, *sound, dates, ProgramFolder(),
        [&]() -> MainWindowPort& {
            // The first touch of the main window loads it.
            if (!window) {
                composerDialogs = std::make_unique<QtComposerDialogs>(engine);
                window = std::make_unique<frmmain>(engine, registry, *composerDialogs);
                composerDialogs->setWindow(window.get());
                tray.menuSettings_Click = [&] {
                    window->menuSettings_Click();
                };
                tray.menuStatus_Click = [&] {
                    window->menuStatus_Click();
                };
                tray.menuAbout_Click = [&] {
                    window->menuAbout_Click();
                };
                tray.menuExit_Click = [&] {
                    window->menuExit_Click();
                };
                window->setTrayHook(&tray);
                // The end comes from wherever the user quit: inside a box of the start-up pass,
                // before the event loop has even started, an exit request would be lost and the
                // pass would go on. The close sequence has run; nothing else may (no destructor,
                // no exit handler: std::_Exit, which every C library has).
                window->setEndProgram([&] {
                    instance.release();
                    std::_Exit(0);
                });
                window->Form_Load();
            }
            return *window;
        },
        [&] {
            // After the corrupted-messages warning: no ghost icon, and nothing else of the close
            // sequence.
            tray.remove();
            std::_Exit(0);
        });

    if (engine.Main(anotherCopyRunning) == StartupAndRoutines::MainResult::Ended)
        return 0;
    return QApplication::exec();
}
