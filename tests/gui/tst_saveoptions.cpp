// The "SAVE OPTION" dialog: Save As through the dialog and the file dialog
// writes the chosen groups; the toggle, the row choosing rules, the status
// lines, the forced vertex-only and hidden floating-point cases, the colours.
#include <QAction>
#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>

#include "GuiTestSupport.h"
#include "app/CMainFrame.h"
#include "controls/CCircleButton.h"
#include "doc/GroupPalette.h"
#include "groups/GroupCheckList.h"
#include "groups/SaveOptionsDialog.h"

using vortel::gui::GroupCheckList;
using vortel::gui::SaveOptionsDialog;

namespace {

vortel::SaveOptionsRequest request(std::vector<std::string> names, std::vector<bool> checks, std::string text) {
    vortel::SaveOptionsRequest r;
    r.groupNames = std::move(names);
    r.checks = std::move(checks);
    r.messageText = std::move(text);
    return r;
}

std::vector<bool> shownChecks(SaveOptionsDialog& d) {
    std::vector<bool> out;
    for (int i = 0; i < d.groupList()->count(); ++i) out.push_back(d.groupList()->check(i));
    return out;
}

void clickRowText(GroupCheckList* list, int row) {
    const QRect r = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(r.left() + 40, r.center().y()));
}

void clickRowCheckBox(GroupCheckList* list, int row) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->checkBoxRect(row).center());
}

void clickCentre(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center()); }

}  // namespace

class SaveOptionsTest : public QObject {
    Q_OBJECT
    std::unique_ptr<vortel::test::Session> s;

private slots:
    void initTestCase() {
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
        s = std::make_unique<vortel::test::Session>();
    }

    void saveAsWritesTheCheckedGroups() {
        const QString source = s->home.root() + "/two.obj";
        vortel::test::writeText(source,
                                "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 2 0 0\nv 5 5 5\n"
                                "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n"
                                "g left\nf 1/1 2/2 3/3 4/4\ng right\nf 2 5 3\n");
        vortel::gui::CMainFrame frame(s->doc, s->platform, {source});
        frame.show();
        QTRY_COMPARE(frame.windowTitle(), "VORTEL - " + source);
        const QString target = s->home.root() + "/left only.obj";
        QString status, offered;
        QStringList rows;
        bool cutFloating = false, cutHidden = false;
        vortel::test::onNextModal([&](QWidget* w) {
            auto* d = qobject_cast<SaveOptionsDialog*>(w);
            QVERIFY(d);
            QCOMPARE(d->windowTitle(), QString("SAVE OPTION"));
            status = d->statusLine()->text();
            for (int i = 0; i < d->groupList()->count(); ++i) rows << d->groupList()->item(i)->text();
            cutFloating = d->cutFloatingBox()->isChecked();
            cutHidden = d->cutFloatingBox()->isHidden();
            clickRowText(d->groupList(), 1);  // "right" off
            // The file dialog comes next.
            vortel::test::onNextModal(
                [&](QWidget* f) {
                    auto* fd = qobject_cast<QFileDialog*>(f);
                    QVERIFY(fd);
                    offered = QFileInfo(fd->selectedFiles().value(0)).fileName();
                    vortel::test::acceptFileDialog(fd, target);
                },
                d);
            d->okButton()->click();
        });
        frame.action(vortel::cmd::FileSaveAs)->trigger();
        QCOMPARE(rows, (QStringList{"left", "right"}));  // line ends removed
        QCOMPARE(status, QString("FLOATING Point Num =1"));
        QVERIFY(cutFloating);
        QVERIFY(cutHidden);
        QCOMPARE(offered, QString("two_VL.obj"));
        QCOMPARE(vortel::test::readBytes(target),
                 QByteArray("# Convert by TOLK\n"
                            "v 0.000000 0.000000 0.000000\nv 1.000000 0.000000 0.000000\n"
                            "v 1.000000 1.000000 0.000000\nv 0.000000 1.000000 0.000000\n"
                            "vt 0.000000 0.000000\nvt 1.000000 0.000000\nvt 1.000000 1.000000\nvt 0.000000 1.000000\n"
                            "g left\n\nf 1/1 2/2 3/3 4/4\n"));
        QCOMPARE(QString::fromStdString(s->doc.savePath), target);

        // CANCEL in the dialog writes nothing and asks for no file.
        QFile::remove(target);
        vortel::test::onNextModal([](QWidget* w) {
            auto* d = qobject_cast<SaveOptionsDialog*>(w);
            QVERIFY(d);
            d->cancelButton()->click();
        });
        frame.action(vortel::cmd::FileSaveAs)->trigger();
        QVERIFY(!QFile::exists(target));
    }

    void toggleNoSelectionAndVertexOnly() {
        SaveOptionsDialog d(request({"a\r\n", "b\n", "c"}, {true, false, true}, "NORMAL SAVE DATA"), nullptr);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        QCOMPARE(shownChecks(d), (std::vector<bool>{true, false, true}));
        QCOMPARE(d.statusLine()->text(), QString("NORMAL SAVE DATA"));
        QVERIFY(!d.statusLine()->isEnabled());
        QCOMPARE(d.toggleButton()->text(), QString("CLEAR ALL"));
        clickCentre(d.toggleButton());
        QCOMPARE(shownChecks(d), (std::vector<bool>{false, false, false}));
        QCOMPARE(d.toggleButton()->text(), QString("CHECK ALL"));
        QCOMPARE(d.statusLine()->text(), QString(" "));
        clickCentre(d.toggleButton());
        QCOMPARE(shownChecks(d), (std::vector<bool>{true, true, true}));
        QCOMPARE(d.toggleButton()->text(), QString("CLEAR ALL"));
        clickCentre(d.toggleButton());

        d.okButton()->click();
        QCOMPARE(d.statusLine()->text(), QString("NO SELECTION. AT LEAST SELECT ONE."));
        QVERIFY(d.isVisible());
        QCOMPARE(d.result(), 0);

        QTest::mouseClick(d.vertexOnlyBox(), Qt::LeftButton, {}, QPoint(4, d.vertexOnlyBox()->height() / 2));
        QVERIFY(d.vertexOnlyBox()->isChecked());
        QCOMPARE(d.statusLine()->text(), QString("SAVE DATA IS VERTEX ONLY."));
        QTest::mouseClick(d.vertexOnlyBox(), Qt::LeftButton, {}, QPoint(4, d.vertexOnlyBox()->height() / 2));
        QCOMPARE(d.statusLine()->text(), QString(" "));

        clickRowText(d.groupList(), 2);
        d.okButton()->click();
        QCOMPARE(d.result(), static_cast<int>(QDialog::Accepted));
        QCOMPARE(d.state().answer().checks, (std::vector<bool>{false, false, true}));
        QVERIFY(!d.state().answer().vertexOnly);
    }

    void choosingRowsInvertsTheirChecks() {
        SaveOptionsDialog d(request({"g0", "g1", "g2"}, {true, true, false}, "NORMAL SAVE DATA"), nullptr);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        GroupCheckList* list = d.groupList();
        clickRowText(list, 0);  // becomes the chosen row: inverted
        QCOMPARE(shownChecks(d), (std::vector<bool>{false, true, false}));
        clickRowText(list, 0);  // already chosen: no change
        QCOMPARE(shownChecks(d), (std::vector<bool>{false, true, false}));
        clickRowCheckBox(list, 0);  // its check box flips it
        QCOMPARE(shownChecks(d), (std::vector<bool>{true, true, false}));
        clickRowCheckBox(list, 2);  // another row's check box: one flip, not two
        QCOMPARE(shownChecks(d), (std::vector<bool>{true, true, true}));
        QTest::keyClick(list, Qt::Key_Up);  // the keyboard moves the choice: row 1 flips
        QCOMPARE(shownChecks(d), (std::vector<bool>{true, false, true}));
        QTest::keyClick(list, Qt::Key_Space);
        QCOMPARE(shownChecks(d), (std::vector<bool>{true, true, true}));
    }

    void allFloatingForcesVertexOnly() {
        SaveOptionsDialog d(request({"only"}, {true}, "ALL POINTS ARE FLOATING P."), nullptr);
        QVERIFY(d.vertexOnlyBox()->isChecked());
        QVERIFY(!d.vertexOnlyBox()->isEnabled());
        QVERIFY(!d.cutFloatingBox()->isChecked());
        QCOMPARE(d.statusLine()->text(), QString("ALL POINTS ARE FLOATING P."));
        d.okButton()->click();
        QCOMPARE(d.result(), static_cast<int>(QDialog::Accepted));
        QVERIFY(d.state().answer().vertexOnly);
    }

    void floatingPointsAreCutByTheHiddenBox() {
        SaveOptionsDialog d(request({"a"}, {true}, "FLOATING Point Num =3"), nullptr);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        QVERIFY(d.cutFloatingBox()->isChecked());
        QVERIFY(d.cutFloatingBox()->isEnabled());
        QVERIFY(!d.cutFloatingBox()->isVisible());
        QVERIFY(d.state().cutFloatingPoints());
        QVERIFY(d.vertexOnlyBox()->isEnabled());
        QCOMPARE(d.statusLine()->text(), QString("FLOATING Point Num =3"));
    }

    void noRowsDisableTheList() {
        SaveOptionsDialog d(request({}, {}, "NORMAL SAVE DATA"), nullptr);
        QVERIFY(!d.groupList()->isEnabled());
        d.toggleButton()->click();
        QCOMPARE(d.toggleButton()->text(), QString("CLEAR ALL"));  // nothing to toggle
        QCOMPARE(d.statusLine()->text(), QString(" "));
        d.okButton()->click();
        QCOMPARE(d.statusLine()->text(), QString("NO SELECTION. AT LEAST SELECT ONE."));
        QCOMPARE(d.result(), 0);
    }

    void cancelledToggleStartsOverNextTime() {
        {
            SaveOptionsDialog d(request({"a", "b"}, {true, true}, "NORMAL SAVE DATA"), nullptr);
            d.toggleButton()->click();
            QCOMPARE(d.toggleButton()->text(), QString("CHECK ALL"));
            d.cancelButton()->click();
            QCOMPARE(d.result(), static_cast<int>(QDialog::Rejected));
        }
        SaveOptionsDialog again(request({"a", "b"}, {true, true}, "NORMAL SAVE DATA"), nullptr);
        QCOMPARE(again.toggleButton()->text(), QString("CLEAR ALL"));
        again.toggleButton()->click();
        QCOMPARE(shownChecks(again), (std::vector<bool>{false, false}));
    }

    void rowsArePaintedInTheirPaletteColours() {
        std::vector<std::string> names;
        for (int i = 0; i < 8; ++i) names.push_back("MMMMMMMM" + std::to_string(i));
        SaveOptionsDialog d(request(names, std::vector<bool>(8, true), "NORMAL SAVE DATA"), nullptr);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        GroupCheckList* list = d.groupList();
        // Two thirds of the palette brightness, truncated: group 5 is (1, 0.16, 0.16).
        QCOMPARE(list->rowColour(5), QColor(170, 27, 27));
        for (int i : {0, 7, 100, 219}) {
            const vortel::PaletteColour& p = vortel::kGroupPalette[i];
            QCOMPARE(list->rowColour(i), QColor(int(p.r * 255.0f * 2.0f / 3.0f), int(p.g * 255.0f * 2.0f / 3.0f),
                                                int(p.b * 255.0f * 2.0f / 3.0f)));
        }
        clickRowText(list, 3);
        QTest::qWait(50);
        const QImage img = list->viewport()->grab().toImage();
        auto countInRow = [&](int row, const QColor& c) {
            const QRect r = list->visualItemRect(list->item(row));
            int n = 0;
            for (int y = r.top(); y <= r.bottom(); ++y)
                for (int x = r.left() + GroupCheckList::checkBoxWidth(); x <= r.right(); ++x)
                    n += img.pixelColor(x, y) == c;
            return n;
        };
        QVERIFY(countInRow(3, GroupCheckList::kSelectionFill) > 100);  // the chosen row is light green
        QCOMPARE(countInRow(2, GroupCheckList::kSelectionFill), 0);
        QVERIFY(countInRow(5, list->rowColour(5)) > 0);  // text in the row's colour
        QCOMPARE(countInRow(4, list->rowColour(5)), 0);
    }

    void screenshot() {
        // A picture of the dialog for the eye; written when VORTEL_SCREENSHOT_DIALOG names a file.
        const QByteArray out = qgetenv("VORTEL_SCREENSHOT_DIALOG");
        if (out.isEmpty()) QSKIP("VORTEL_SCREENSHOT_DIALOG not set");
        std::vector<std::string> names = {"head\n", "neck\n", "chest\n", "abdomen\n", "hip\n", "lThigh\n",
                                          "rThigh\n", "lShin\n", "rShin\n", "lFoot\n", "rFoot\n"};
        std::vector<bool> checks(names.size(), true);
        checks[3] = false;
        SaveOptionsDialog d(request(names, checks, "FLOATING Point Num =3"), nullptr);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        clickRowText(d.groupList(), 3);
        QTest::qWait(100);
        QVERIFY(d.grab().scaled(d.size() * 2).save(QString::fromLocal8Bit(out)));
    }
};

QTEST_MAIN(SaveOptionsTest)
#include "tst_saveoptions.moc"
