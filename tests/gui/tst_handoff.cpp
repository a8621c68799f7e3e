// The hand-off: "Excute ZIDU" writes work/POSERTMP.obj and starts the
// configured program with that path as its one argument (blanks included);
// "Coligion" switches Collision; "VUROZ++" opens the manual beside the program.
#include <QAction>
#include <QDesktopServices>
#include <QFileInfo>

#include "GuiTestSupport.h"
#include "app/CMainFrame.h"
#include "app/FrameCommands.h"
#include "app/HandOff.h"

namespace cmd = vortel::cmd;

class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

class HandOffTest : public QObject {
    Q_OBJECT
    std::unique_ptr<vortel::test::Session> s;
    std::unique_ptr<vortel::gui::CMainFrame> frame;
    QString record;

    // A program that writes its argument count and arguments, one a line.
    QString recorder(const QString& folder) {
        QDir().mkpath(folder);
        const QString script = folder + "/record args.sh";
        vortel::test::writeText(script, QString("#!/bin/sh\n{ echo \"$#\"; for a in \"$@\"; do echo \"$a\"; done; } > "
                                                "'%1.tmp' && mv '%1.tmp' '%1'\n")
                                            .arg(record)
                                            .toUtf8());
        QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return script;
    }
    bool enabled(int id) {
        frame->updateCommandUi();
        return frame->action(id)->isEnabled();
    }

private slots:
    void initTestCase() {
        s = std::make_unique<vortel::test::Session>("my home");  // a home folder with a blank
        vortel::gui::recordHomeFolder(s->platform.settings(), s->home.stdPath());
        record = s->home.root() + "/args.txt";
        const QString cube = s->home.root() + "/cube.obj";
        vortel::test::writeText(cube, "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\ng box\nf 1 2 3 4\n");
        frame = std::make_unique<vortel::gui::CMainFrame>(s->doc, s->platform, QStringList{cube});
        frame->show();
        QTRY_COMPARE(frame->windowTitle(), "VORTEL - " + cube);
    }
    void cleanupTestCase() { frame.reset(); }

    void handOffStartsTheProgramWithOneArgument() {
        QVERIFY(!enabled(cmd::ExcuteZidu));  // no "Applname" yet
        s->platform.settings().writeString("Excute", "Applname", "NULL");
        QVERIFY(!enabled(cmd::ExcuteZidu));
        s->platform.settings().writeString("Excute", "Applname", recorder(s->home.root() + "/my tools").toStdString());
        QVERIFY(enabled(cmd::ExcuteZidu));

        const QString tmp = s->home.path() + "work/POSERTMP.obj";
        frame->action(cmd::ExcuteZidu)->trigger();
        QTRY_VERIFY(QFile::exists(record));
        QCOMPARE(QString::fromUtf8(vortel::test::readBytes(record)), "1\n" + tmp + "\n");
        QCOMPARE(s->doc.directSaveFlag, 0);
        const QByteArray written = vortel::test::readBytes(tmp);
        QVERIFY(written.startsWith("# Convert by TOLK\nv 0.000000 0.000000 0.000000\n"));
        QVERIFY(written.endsWith("g box\n\nf 1 2 3 4\n"));

        // A second hand-off overwrites the same file.
        QFile::remove(record);
        vortel::test::writeText(tmp, "stale");
        frame->action(cmd::ExcuteZidu)->trigger();
        QTRY_VERIFY(QFile::exists(record));
        QCOMPARE(QString::fromUtf8(vortel::test::readBytes(record)), "1\n" + tmp + "\n");
        QCOMPARE(vortel::test::readBytes(tmp), written);
    }

    void aProgramThatCannotStartFailsQuietly() {
        s->platform.settings().writeString("Excute", "Applname", (s->home.root() + "/no such program").toStdString());
        QVERIFY(enabled(cmd::ExcuteZidu));
        QVERIFY(!vortel::gui::handOffToProgram(s->doc, s->platform.settings()));
        QVERIFY(QFile::exists(s->home.path() + "work/POSERTMP.obj"));  // the save still happened
    }

    void collisionFollowsColigion() {
        auto& st = s->platform.settings();
        QVERIFY(!enabled(cmd::Collision));  // missing
        st.writeString("Function", "Coligion", "NONE");
        QVERIFY(!enabled(cmd::Collision));
        st.writeString("Function", "Coligion", "ON");
        QVERIFY(enabled(cmd::Collision));
        st.writeString("Function", "Coligion", "none");  // exact comparison
        QVERIFY(enabled(cmd::Collision));
        st.writeString("Function", "Coligion", "NONE");
        QVERIFY(!enabled(cmd::Collision));
    }

    void homePageIsTheManualBesideTheProgram() {
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler("file", &catcher, "open");
        vortel::test::writeText(s->home.path() + "manual.html", "<html></html>");
        frame->action(cmd::Vuroz)->trigger();
        QDesktopServices::unsetUrlHandler("file");
        QCOMPARE(catcher.urls.size(), 1);
        QCOMPARE(catcher.urls.first(), QUrl::fromLocalFile(s->home.path() + "manual.html"));
        // Without one in the home folder, the manual that ships beside the executable.
        QFile::remove(s->home.path() + "manual.html");
        QCOMPARE(vortel::gui::homePageUrl(s->home.stdPath()),
                 QUrl::fromLocalFile(QCoreApplication::applicationDirPath() + "/manual.html"));
        QVERIFY(QFile::exists(QCoreApplication::applicationDirPath() + "/manual.html"));
    }
};

QTEST_MAIN(HandOffTest)
#include "tst_handoff.moc"
