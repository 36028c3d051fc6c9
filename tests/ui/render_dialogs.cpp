// Renders each dialog to a PNG so its layout can be looked at: render_dialogs <folder>.
// Run through scripts/render-dialogs.sh, which renders at several densities and tags the files.
#include "Fakes.h"
#include "frmCalendar.h"
#include "frmOptional.h"
#include "frmabout.h"

#include "DateText.h"
#include "MessageRecord.h"

#include <QApplication>
#include <QDir>
#include <QTimer>
#include <QWidget>

using namespace tavrel;

namespace {

// Runs `open` (which shows a modal dialog) and saves the dialog's picture once it is up.
void grabModal(const QString& file, const std::function<void()>& open) {
    QTimer::singleShot(50, [file] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog)
            qFatal("no dialog to grab for %s", qPrintable(file));
        if (!dialog->grab().save(file))
            qFatal("cannot write %s", qPrintable(file));
        dialog->close();
    });
    open();
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(folder);
    const QString suffix = qEnvironmentVariable("TAVREL_RENDER_TAG") +
                           QStringLiteral("@%1x.png").arg(app.devicePixelRatio());

    test::FakeClock clock(QDateTime(QDate(2026, 12, 7), QTime(10, 30)));
    test::FakeDialogs dialogs;
    const DateText dates;

    frmCalendar calendar(clock, dialogs, dates);
    // The longest English long date of the year.
    QDate date(2026, 9, 30);
    grabModal(folder + QStringLiteral("/frmCalendar") + suffix, [&] { calendar.GetDate(date); });

    MessageRecord current;
    TimeWindowLink link;
    link.txtMessageName = QStringLiteral("Dentist");
    grabModal(folder + QStringLiteral("/frmOptional") + suffix, [&] {
        frmOptional::ShowModal(clock, dialogs, dates, folder + QLatin1Char('/'), current, link);
    });

    grabModal(folder + QStringLiteral("/frmabout") + suffix,
              [&] { frmabout::ShowModal(clock, {}); });
    return 0;
}
