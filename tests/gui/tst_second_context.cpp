// The second GL context of the view: it shares the view context's objects, runs jobs
// one after another with itself current on its own thread, and frees its own objects
// when it stops.
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QTest>
#include <QThread>

#include <atomic>
#include <vector>

#include "view3d/SecondContext.h"

using vortel::view::SecondContext;

class SecondContextTest : public QObject {
    Q_OBJECT
    QOffscreenSurface surface;
    QOpenGLContext context;

private slots:
    void initTestCase() {
        surface.create();
        QVERIFY(context.create());
        QVERIFY(context.makeCurrent(&surface));
    }

    void cleanupTestCase() { context.doneCurrent(); }

    void withoutAContextToShareNothingStarts() {
        SecondContext second;
        QVERIFY(!second.start(nullptr));
        QVERIFY(!second.running());
        second.stop();  // nothing to stop
    }

    void jobsRunInOrderOnTheSecondThreadWithItsOwnContext() {
        SecondContext second;
        QVERIFY(second.start(&context));
        QVERIFY(second.running());
        std::vector<int> order;
        std::atomic<bool> elsewhere{true};
        for (int i = 0; i < 50; ++i)
            second.post([&, i](QOpenGLFunctions&) {
                order.push_back(i);
                QOpenGLContext* current = QOpenGLContext::currentContext();
                if (QThread::currentThread() == thread() || !current || current == &context) elsewhere = false;
            });
        second.wait();
        QCOMPARE(order.size(), size_t(50));
        for (int i = 0; i < 50; ++i) QCOMPARE(order[static_cast<size_t>(i)], i);
        QVERIFY(elsewhere);
        second.stop();
        QVERIFY(!second.running());
    }

    void objectsAreSharedBothWaysAndCleanupRunsBeforeTheEnd() {
        QOpenGLFunctions* gl = context.functions();
        GLuint mine = 0;
        gl->glGenBuffers(1, &mine);
        gl->glBindBuffer(GL_ARRAY_BUFFER, mine);
        const float data[4] = {1.0f, 2.0f, 3.0f, 4.0f};
        gl->glBufferData(GL_ARRAY_BUFFER, sizeof data, data, GL_STATIC_DRAW);
        gl->glBindBuffer(GL_ARRAY_BUFFER, 0);
        gl->glFinish();

        SecondContext second;
        QVERIFY(second.start(&context));
        bool seen = false;
        GLuint theirs = 0;
        second.post([&](QOpenGLFunctions& f) {
            seen = f.glIsBuffer(mine) == GL_TRUE;
            f.glGenBuffers(1, &theirs);
            f.glBindBuffer(GL_ARRAY_BUFFER, theirs);
            f.glBufferData(GL_ARRAY_BUFFER, 64, nullptr, GL_STATIC_DRAW);
            f.glBindBuffer(GL_ARRAY_BUFFER, 0);
            f.glFinish();
        });
        second.wait();
        QVERIFY(seen);
        QVERIFY(theirs != 0);
        QVERIFY(gl->glIsBuffer(theirs));

        bool cleaned = false;
        second.stop([&](QOpenGLFunctions& f) {
            f.glDeleteBuffers(1, &theirs);
            f.glFinish();
            cleaned = QOpenGLContext::currentContext() != nullptr;
        });
        QVERIFY(cleaned);
        QVERIFY(!second.running());
        QVERIFY(!gl->glIsBuffer(theirs));
        QVERIFY(gl->glIsBuffer(mine));
        gl->glDeleteBuffers(1, &mine);

        // And it can be had again afterwards.
        QVERIFY(second.start(&context));
        int ran = 0;
        second.post([&](QOpenGLFunctions&) { ++ran; });
        second.stop();
        QCOMPARE(ran, 1);
    }
};

QTEST_MAIN(SecondContextTest)
#include "tst_second_context.moc"
