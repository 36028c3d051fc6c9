#include "ComposerFixture.h"
#include "ComposerLineEdit.h"
#include "MessageTextEdit.h"
#include "SelectActiveText.h"
#include "UpDown.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

using namespace tavrel;
using namespace tavrel::test;

namespace {

void activate(QWidget& window) {
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
}

} // namespace

class TestComposerWindow : public QObject {
    Q_OBJECT

private slots:
    void freshWindow() {
        ComposerFixture f;
        frmmain& w = f.load();
        QCOMPARE(w.windowTitle(), QStringLiteral("Tavrel"));
        QCOMPARE(w.size(), QSize(228, 335));
        QCOMPARE(w.minimumSize(), w.maximumSize());
        QVERIFY(w.windowFlags() & Qt::WindowMinimizeButtonHint);
        QVERIFY(!(w.windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(!w.windowIcon().isNull());
        QVERIFY(!w.isVisible()); // the tray icon is there
        QCOMPARE(f.tray.adds, 1);

        QCOMPARE(w.lblSaved->text(), QStringLiteral("Previously saved messages:"));
        QCOMPARE(w.cboSavedmessages->count(), 0);
        QCOMPARE(w.cboSavedmessages->currentIndex(), -1);
        QVERIFY(!w.cmdSaveMessage->isEnabled());
        QVERIFY(!w.cmdOptional->isEnabled());
        QVERIFY(w.cmdEdit->isEnabled());
        QVERIFY(w.cmdDelete->isEnabled());
        QCOMPARE(w.txtDaysprior->text(), QStringLiteral("0"));
        QVERIFY(w.txtDaysprior->isReadOnly());
        QCOMPARE(w.txtDaysprior->maxLength(), 2);
        QCOMPARE(w.lblDaysprior->text(), QStringLiteral("Days prior:"));
        QVERIFY(w.lblDaysprior->font().italic());
        QVERIFY(w.lblDaysprior->font().pointSizeF() < w.font().pointSizeF());
        QCOMPARE(w.lblchoosendate->text(), QStringLiteral("07/12/2026"));
        QCOMPARE(w.lblchoosenpriordate, QStringLiteral("07/12/2026"));
        QCOMPARE(w.lblHIDDENdateTODAY, QStringLiteral("07/12/2026"));
        QCOMPARE(w.lblHIDDENstart, QStringLiteral("00:00"));
        QCOMPARE(w.lblHIDDENeinde, QStringLiteral("00:00"));
        QVERIFY(w.txtMessageName->text().isEmpty());
        QVERIFY(w.txtmessage->toPlainText().isEmpty());
        QCOMPARE(w.txtmessage->palette().color(QPalette::Base), QColor(224, 224, 224));
        QCOMPARE(w.lblchoosendate->palette().color(QPalette::WindowText), QColor(Qt::black));

        QVERIFY(!w.TimerMessage.isActive());
        QCOMPARE(w.TimerMessage.interval(), 10000);
        QVERIFY(w.TimerNewDay.isActive());
        QCOMPARE(w.TimerNewDay.interval(), 65535);
        QVERIFY(f.dialogs.boxes.isEmpty());
    }

    void layout_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("rect");
        QTest::addColumn<QString>("caption");
        // Design rectangles in twips, 15 to a pixel.
        QTest::newRow("lblSaved") << "lblSaved" << QRect(18, 14, 191, 13)
                                  << "Previously saved messages:";
        QTest::newRow("cboSavedmessages") << "cboSavedmessages" << QRect(18, 31, 192, 21) << "";
        QTest::newRow("cmdEdit") << "cmdEdit" << QRect(18, 57, 94, 21) << "&Edit";
        QTest::newRow("cmdDelete") << "cmdDelete" << QRect(116, 57, 94, 21) << "&Delete";
        QTest::newRow("lblMessagename")
            << "lblMessagename" << QRect(18, 87, 191, 13) << "Enter a short message description:";
        QTest::newRow("txtMessageName") << "txtMessageName" << QRect(18, 103, 191, 21) << "";
        QTest::newRow("lblName") << "lblName" << QRect(18, 133, 191, 13) << "Enter message text:";
        QTest::newRow("txtmessage") << "txtmessage" << QRect(18, 149, 191, 58) << "";
        QTest::newRow("cmdcalendar") << "cmdcalendar" << QRect(18, 212, 94, 21) << "&Pick a date";
        QTest::newRow("cmdOptional")
            << "cmdOptional" << QRect(116, 212, 94, 21) << "&Optional time";
        QTest::newRow("lblHOLDER") << "lblHOLDER" << QRect(18, 238, 94, 21) << "";
        QTest::newRow("lblchoosendate")
            << "lblchoosendate" << QRect(18, 242, 94, 21) << "07/12/2026";
        QTest::newRow("lblDaysprior") << "lblDaysprior" << QRect(107, 243, 69, 17) << "Days prior:";
        QTest::newRow("txtDaysprior") << "txtDaysprior" << QRect(170, 238, 21, 22) << "0";
        QTest::newRow("UpDownprior") << "UpDownprior" << QRect(194, 238, 16, 23) << "";
        QTest::newRow("cmdSaveMessage")
            << "cmdSaveMessage" << QRect(18, 269, 192, 23) << "&Save Message";
        QTest::newRow("cmdReset") << "cmdReset" << QRect(18, 296, 62, 21) << "&Reset";
        QTest::newRow("cmdHide") << "cmdHide" << QRect(83, 296, 62, 21) << "&Hide";
        QTest::newRow("cmdExit") << "cmdExit" << QRect(148, 296, 62, 21) << "E&xit";
    }
    void layout() {
        QFETCH(QString, name);
        QFETCH(QRect, rect);
        QFETCH(QString, caption);
        ComposerFixture f;
        frmmain& w = f.load();
        auto* control = w.findChild<QWidget*>(name);
        QVERIFY2(control, qPrintable(name));
        QCOMPARE(control->geometry(), rect);
        if (auto* l = qobject_cast<QLabel*>(control))
            QCOMPARE(l->text(), caption);
        else if (auto* b = qobject_cast<QPushButton*>(control))
            QCOMPARE(b->text(), caption);
        else if (auto* e = qobject_cast<QLineEdit*>(control))
            QCOMPARE(e->text(), caption);
    }

    void tabOrder() {
        ComposerFixture f;
        frmmain& w = f.load();
        QStringList order;
        QWidget* next = w.txtMessageName;
        do {
            if (next->focusPolicy() & Qt::TabFocus)
                order.append(next->objectName());
            next = next->nextInFocusChain();
        } while (next != w.txtMessageName);
        QCOMPARE(order,
                 QStringList({"txtMessageName", "txtmessage", "cmdcalendar", "cmdOptional",
                              "UpDownprior", "cmdSaveMessage", "cmdReset", "cmdHide", "cmdExit",
                              "cboSavedmessages", "cmdEdit", "cmdDelete", "txtDaysprior"}));
    }

    // A line break counts two, as the file stores it; the program's own text is never cut.
    void messageTextLimit() {
        ComposerFixture f;
        frmmain& w = f.load();
        MessageTextEdit* t = w.txtmessage;
        QTest::keyClicks(t, QString(260, QLatin1Char('a')));
        QCOMPARE(t->toPlainText().size(), 250);

        t->setFileText(QString());
        QTest::keyClicks(t, QString(247, QLatin1Char('a')));
        QTest::keyClick(t, Qt::Key_Return);
        QCOMPARE(t->fileText().size(), 249);
        QTest::keyClick(t, Qt::Key_B);
        QTest::keyClick(t, Qt::Key_C);
        QCOMPARE(t->fileText(), QString(247, QLatin1Char('a')) + QStringLiteral("\r\nb"));

        // Pasting keeps what fits, from the start of what was pasted.
        t->setFileText(QStringLiteral("12345"));
        QTextCursor end = t->textCursor();
        end.setPosition(2);
        t->setTextCursor(end);
        t->insertPlainText(QString(300, QLatin1Char('x')));
        QCOMPARE(t->toPlainText(),
                 QStringLiteral("12") + QString(245, 'x') + QStringLiteral("345"));

        // A longer text from an older file stays whole; typing adds nothing to it.
        const QString longer(260, QLatin1Char('z'));
        t->setFileText(longer);
        QTest::keyClick(t, Qt::Key_Q);
        QCOMPARE(t->toPlainText(), longer);
    }

    void keyReleaseDiscardsTimeWindow_data() {
        QTest::addColumn<QString>("box");
        QTest::newRow("description") << "txtMessageName";
        QTest::newRow("text") << "txtmessage";
    }
    void keyReleaseDiscardsTimeWindow() {
        QFETCH(QString, box);
        ComposerFixture f;
        frmmain& w = f.load();
        w.lblHIDDENstart = QStringLiteral("09:00:00");
        w.lblHIDDENeinde = QStringLiteral("10:00:00");
        QTest::keyClick(w.findChild<QWidget*>(box), Qt::Key_Shift);
        QVERIFY(w.cmdSaveMessage->isEnabled());
        QVERIFY(w.cmdOptional->isEnabled());
        QCOMPARE(w.lblHIDDENstart, QStringLiteral("00:00"));
        QCOMPARE(w.lblHIDDENeinde, QStringLiteral("00:00"));
        QVERIFY(w.cmdEdit->isEnabled());
    }

    void focusSelectsOnlyThePlaceholder() {
        ComposerFixture f;
        frmmain& w = f.load();
        activate(w);
        w.showPlaceholder();
        w.txtmessage->setFocus();
        QCOMPARE(w.txtmessage->textCursor().selectedText(), QStringLiteral("Alter this..."));
        w.txtMessageName->setFocus(Qt::TabFocusReason);
        QCOMPARE(w.txtMessageName->selectedText(), QStringLiteral("Alter this..."));

        w.txtMessageName->setText(QStringLiteral("Dentist"));
        w.txtmessage->setFocus(Qt::TabFocusReason);
        w.txtMessageName->setFocus(Qt::TabFocusReason);
        QVERIFY(!w.txtMessageName->hasSelectedText());

        // With a button focused there is nothing to select and nothing to report.
        w.cmdReset->setFocus();
        SelectActiveText(&w);
        QVERIFY(f.dialogs.boxes.isEmpty());
    }

    // A click into the placeholder selects all of it, so typing replaces it; a typed text is not
    // selected by a click or by Tab; what a routine selected outlives the window losing and
    // regaining the focus (a box closing under a window manager).
    void selectionFollowsTheUser_data() {
        QTest::addColumn<QString>("box");
        QTest::newRow("description") << "txtMessageName";
        QTest::newRow("text") << "txtmessage";
    }
    void selectionFollowsTheUser() {
        QFETCH(QString, box);
        ComposerFixture f;
        frmmain& w = f.load();
        activate(w);
        w.showPlaceholder();
        w.cmdcalendar->setFocus();
        auto* field = w.findChild<QWidget*>(box);
        auto* plain = qobject_cast<MessageTextEdit*>(field);
        QWidget* surface = plain ? plain->viewport() : field;
        const auto selected = [&] {
            return plain ? plain->textCursor().selectedText()
                         : static_cast<QLineEdit*>(field)->selectedText();
        };
        const auto text = [&] {
            return plain ? plain->toPlainText() : static_cast<QLineEdit*>(field)->text();
        };
        const QPoint inside(surface->width() / 2, 8);

        QTest::mouseClick(surface, Qt::LeftButton, {}, inside);
        QCOMPARE(selected(), QStringLiteral("Alter this..."));
        QTest::keyClicks(field, QStringLiteral("Dentist"));
        QCOMPARE(text(), QStringLiteral("Dentist"));

        w.cmdcalendar->setFocus(Qt::TabFocusReason);
        QTest::mouseClick(surface, Qt::LeftButton, {}, inside);
        QCOMPARE(selected(), QString());
        w.cmdcalendar->setFocus(Qt::TabFocusReason);
        field->setFocus(Qt::BacktabFocusReason);
        QCOMPARE(selected(), QString());

        SelectActiveText(&w);
        QFocusEvent away(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
        QApplication::sendEvent(field, &away);
        QFocusEvent back(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
        QApplication::sendEvent(field, &back);
        QCOMPARE(selected(), QStringLiteral("Dentist"));
    }

    // Enter presses the focused button, as Space does.
    void enterPressesTheFocusedButton() {
        ComposerFixture f;
        frmmain& w = f.load();
        activate(w);
        w.cmdcalendar->setFocus();
        QTest::keyClick(w.cmdcalendar, Qt::Key_Return);
        QTest::keyClick(w.cmdcalendar, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(f.composerDialogs.getDateCalls.size(), 2);
        w.cmdHide->setFocus();
        QTest::keyClick(w.cmdHide, Qt::Key_Return);
        QVERIFY(!w.isVisible());
    }

    // The days box reads as read-only; the spin control is one control with a value, not two
    // nameless arrow buttons.
    void accessibleStates() {
        ComposerFixture f;
        frmmain& w = f.load();
        QAccessibleInterface* box = QAccessible::queryAccessibleInterface(w.txtDaysprior);
        QVERIFY(box->state().readOnly);
        QVERIFY(!box->state().editable);
        QAccessibleInterface* spin = QAccessible::queryAccessibleInterface(w.UpDownprior);
        QCOMPARE(spin->childCount(), 0);
        QVERIFY(spin->valueInterface());
        w.UpDownprior->stepBy(1);
        QCOMPARE(spin->valueInterface()->currentValue().toInt(), 1);
        QCOMPARE(spin->text(QAccessible::Value), QStringLiteral("1"));
        QCOMPARE(spin->valueInterface()->maximumValue().toInt(), 99);
        spin->valueInterface()->setCurrentValue(5);
        QCOMPARE(box->textInterface()->text(0, 1), QStringLiteral("5"));
    }

    // Black and navy are for a light face; a dark theme gets its own text and link colours.
    void darkPalette() {
        ComposerFixture f;
        frmmain& w = f.load();
        const QPalette light = QApplication::palette();
        QPalette dark = light;
        dark.setColor(QPalette::Window, QColor(0x30, 0x30, 0x30));
        dark.setColor(QPalette::WindowText, QColor(0xee, 0xee, 0xee));
        dark.setColor(QPalette::Link, QColor(0x80, 0xb0, 0xff));
        const auto colours = [&] {
            return QList<QColor>{w.lblchoosendate->palette().color(QPalette::WindowText),
                                 w.lblDaysprior->palette().color(QPalette::WindowText)};
        };
        QApplication::setPalette(dark);
        QCoreApplication::processEvents();
        QCOMPARE(colours(), QList<QColor>({QColor(0xee, 0xee, 0xee), QColor(0xee, 0xee, 0xee)}));
        w.UpDownprior->stepBy(1);
        QCOMPARE(colours(), QList<QColor>({QColor(0xee, 0xee, 0xee), QColor(0x80, 0xb0, 0xff)}));
        // A link colour as dark as the face would be no better than navy.
        dark.setColor(QPalette::Link, QColor(0x10, 0x10, 0x40));
        QApplication::setPalette(dark);
        QCoreApplication::processEvents();
        QCOMPARE(colours(), QList<QColor>({QColor(0xee, 0xee, 0xee), QColor(0xee, 0xee, 0xee)}));
        QApplication::setPalette(light);
        QCoreApplication::processEvents();
        QCOMPARE(colours(), QList<QColor>({QColor(Qt::black), QColor(0, 0, 128)}));
    }

    void spinControl() {
        ComposerFixture f;
        frmmain& w = f.load();
        w.lblchoosendate->setText(QStringLiteral("21/08/2027"));
        QTest::mouseClick(w.UpDownprior->upButton(), Qt::LeftButton);
        QCOMPARE(w.txtDaysprior->text(), QStringLiteral("1"));
        QCOMPARE(w.lblchoosenpriordate, QStringLiteral("20/08/2027"));
        w.UpDownprior->stepBy(1);
        QCOMPARE(w.lblDaysprior->text(), QStringLiteral("19/08/2027"));
        QVERIFY(!w.lblDaysprior->font().italic());
        QCOMPARE(w.lblDaysprior->palette().color(QPalette::WindowText), QColor(0, 0, 128));
        QCOMPARE(f.engine->CurrentMessage.daysPrior, QStringLiteral("2"));

        // Back to 0: the words again, black and italic, while the store holds the due date.
        w.UpDownprior->stepBy(-1);
        QTest::keyClick(w.UpDownprior, Qt::Key_Down);
        QCOMPARE(w.txtDaysprior->text(), QStringLiteral("0"));
        QCOMPARE(w.lblDaysprior->text(), QStringLiteral("Days prior:"));
        QVERIFY(w.lblDaysprior->font().italic());
        QCOMPARE(w.lblDaysprior->palette().color(QPalette::WindowText), QColor(Qt::black));
        QCOMPARE(w.lblchoosenpriordate, QStringLiteral("21/08/2027"));
        w.UpDownprior->stepBy(-1);
        QCOMPARE(w.txtDaysprior->text(), QStringLiteral("0"));

        // Counting goes on from the number the program put into the box.
        w.txtDaysprior->setText(QStringLiteral("98"));
        w.UpDownprior->stepBy(1);
        QCOMPARE(w.txtDaysprior->text(), QStringLiteral("99"));
        w.UpDownprior->stepBy(1);
        QCOMPARE(w.txtDaysprior->text(), QStringLiteral("99"));
        QCOMPARE(w.lblchoosenpriordate, QStringLiteral("14/05/2027"));
        QVERIFY(f.dialogs.boxes.isEmpty());
    }

    void daysPriorTooltip() {
        ComposerFixture f;
        frmmain& w = f.load();
        QTest::mouseMove(w.lblDaysprior, QPoint(5, 5));
        w.lblDaysprior_MouseMove();
        QCOMPARE(w.lblDaysprior->toolTip(), QStringLiteral(" Days prior: "));
        w.UpDownprior->stepBy(1);
        w.lblDaysprior_MouseMove();
        QCOMPARE(w.lblDaysprior->toolTip(), QStringLiteral(" 06/12/2026 "));
    }

    void pickADate() {
        ComposerFixture f;
        frmmain& w = f.load();
        w.txtDaysprior->setText(QStringLiteral("2"));
        f.composerDialogs.pickedDate = QDate(2027, 3, 2);
        QTest::mouseClick(w.cmdcalendar, Qt::LeftButton);
        QCOMPARE(f.composerDialogs.getDateCalls, QList<QDate>{QDate(2026, 12, 7)});
        QCOMPARE(f.composerDialogs.getDateTitles, QStringList{QString()});
        QCOMPARE(w.lblchoosendate->text(), QStringLiteral("02/03/2027"));
        QCOMPARE(w.lblchoosenpriordate, QStringLiteral("28/02/2027"));

        // Cancelled: the due date stays, the first day is computed all the same.
        f.composerDialogs.pickedDate.reset();
        w.txtDaysprior->setText(QStringLiteral("1"));
        w.cmdcalendar_Click();
        QCOMPARE(f.composerDialogs.getDateCalls.last(), QDate(2027, 3, 2));
        QCOMPARE(w.lblchoosendate->text(), QStringLiteral("02/03/2027"));
        QCOMPARE(w.lblchoosenpriordate, QStringLiteral("01/03/2027"));
    }

    void optionalTime() {
        ComposerFixture f;
        frmmain& w = f.load();
        activate(w);
        QWidget* focusWhileOpen = nullptr;
        f.composerDialogs.onOptionalTime = [&] {
            focusWhileOpen = w.focusWidget();
        };
        w.cmdOptional->setEnabled(true);
        QTest::mouseClick(w.cmdOptional, Qt::LeftButton);
        QCOMPARE(f.composerDialogs.optionalTimeCalls, 1);
        QCOMPARE(focusWhileOpen, static_cast<QWidget*>(w.txtDaysprior));
    }

    void listTextChangeEnablesEdit() {
        ComposerFixture f;
        frmmain& w = f.load();
        w.setEditDeleteEnabled(false);
        w.addSavedMessage(QStringLiteral("Milk"));
        QCOMPARE(w.cboSavedmessages->currentIndex(), -1); // adding selects nothing
        QVERIFY(!w.cmdEdit->isEnabled());
        w.cboSavedmessages->setCurrentIndex(0);
        QVERIFY(w.cmdEdit->isEnabled());
        QVERIFY(!w.cmdDelete->isEnabled());
    }

    // The composer as the user sees it, at 96 dpi and (run with QT_SCALE_FACTOR=2) 192 dpi:
    // cleared, and with a message written. The pictures go to tests/shots in the build folder.
    void screenshot() {
        ComposerFixture f;
        frmmain& w = f.load();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.showPlaceholder();
        const QString dir = QCoreApplication::applicationDirPath() + QStringLiteral("/shots");
        QDir().mkpath(dir);
        const auto save = [&](const QString& name) {
            const QImage image = w.grab().toImage();
            const qreal ratio = image.devicePixelRatio();
            QCOMPARE(image.size(), QSize(qRound(228 * ratio), qRound(335 * ratio)));
            QVERIFY(image.save(
                dir + QStringLiteral("/composer-%1-%2dpi.png").arg(name).arg(qRound(96 * ratio))));
        };
        save(QStringLiteral("cleared"));

        w.addSavedMessage(QStringLiteral("Dentist"));
        w.cboSavedmessages->setCurrentIndex(0);
        w.txtMessageName->setText(QStringLiteral("Dentist"));
        w.txtmessage->setFileText(
            QStringLiteral("Bring the insurance card.\r\nAsk about the invoice of June."));
        w.txtMessageName_KeyUp();
        f.composerDialogs.pickedDate = QDate(2026, 12, 21);
        w.cmdcalendar_Click();
        w.UpDownprior->stepBy(1);
        w.UpDownprior->stepBy(1);
        save(QStringLiteral("written"));
    }
};

QTEST_MAIN(TestComposerWindow)
#include "tst_composerwindow.moc"
