// The top level: exceptions that leave a command or an event handler are
// shown in the error box and the program carries on; the silent abort
// shows nothing.

#include "mainformfixture.h"

#include "app/commanderror.h"
#include "documents/documenterror.h"
#include "editor/editorerror.h"
#include "app/quorinapplication.h"

#include <QAction>
#include <QtTest>

namespace {

const QEvent::Type throwCommandError = QEvent::Type(QEvent::User + 1);
const QEvent::Type throwSilentAbort = QEvent::Type(QEvent::User + 2);
const QEvent::Type throwSomethingElse = QEvent::Type(QEvent::User + 3);
const QEvent::Type count = QEvent::Type(QEvent::User + 4);

class Thrower : public QObject
{
public:
    int counted = 0;

protected:
    bool event(QEvent *event) override
    {
        switch (int(event->type())) {
        case throwCommandError:
            throw CommandError(QStringLiteral("Cannot open file /tmp/x"));
        case throwSilentAbort:
            throw SilentAbort();
        case throwSomethingElse:
            throw 42;
        case count:
            ++counted;
            return true;
        }
        return QObject::event(event);
    }
};

} // namespace

class TestQuorinApplication : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_reported.clear();
        auto *app = qobject_cast<QuorinApplication *>(qApp);
        QVERIFY(app);
        app->setErrorReporter([this](const QString &message) { m_reported.append(message); });
    }

    void eventHandlerErrorsAreReported()
    {
        Thrower thrower;
        QEvent error(throwCommandError);
        QVERIFY(QCoreApplication::sendEvent(&thrower, &error));
        QCOMPARE(m_reported, QStringList{QStringLiteral("Cannot open file /tmp/x")});

        QEvent silent(throwSilentAbort);
        QCoreApplication::sendEvent(&thrower, &silent);
        QCOMPARE(m_reported.size(), 1);

        // Posted events too, and the loop keeps delivering the next ones.
        QCoreApplication::postEvent(&thrower, new QEvent(throwSomethingElse));
        QCoreApplication::postEvent(&thrower, new QEvent(count));
        QCoreApplication::processEvents();
        QCOMPARE(m_reported.size(), 2);
        QVERIFY(!m_reported.at(1).isEmpty());
        QCOMPARE(thrower.counted, 1);
    }

    void errorInsideReporterIsNotReportedAgain()
    {
        auto *app = qobject_cast<QuorinApplication *>(qApp);
        Thrower thrower;
        int calls = 0;
        app->setErrorReporter([&](const QString &) {
            ++calls;
            // An error box runs an event loop; an error raised meanwhile must
            // not open a box over the box.
            QEvent again(throwCommandError);
            QCoreApplication::sendEvent(&thrower, &again);
        });
        QEvent error(throwCommandError);
        QCoreApplication::sendEvent(&thrower, &error);
        QCOMPARE(calls, 1);
    }

    void commandErrorsShowInErrorBox()
    {
        MainFormFixture f;
        QVERIFY(f.showActive());
        QAction failing(QStringLiteral("failing"));
        QAction working(QStringLiteral("working"));
        f.form->connectCommand(&failing, [] { throw EditorError(EditorError::failedToLoad()); });
        int ran = 0;
        f.form->connectCommand(&working, [&ran] { ++ran; });
        failing.trigger();
        QCOMPARE(f.dialogs->errors(), QStringList{QStringLiteral("Failed to Load Stream")});
        // The window stays usable.
        working.trigger();
        QCOMPARE(ran, 1);
        QVERIFY(f.form->isVisible());
        // The main window's own error box was used, not the application's.
        QVERIFY(m_reported.isEmpty());
    }

    void messagesOfKnownErrors()
    {
        QVERIFY(errorMessageFor(std::make_exception_ptr(std::runtime_error("disk full"))) == QStringLiteral("disk full"));
        const documents::DocumentError full(QStringLiteral("Cannot write file"), QStringLiteral("/x/a.rtf"),
                                            QStringLiteral("No space left on device"));
        QCOMPARE(errorMessageFor(std::make_exception_ptr(full)), full.message());
        QVERIFY(!errorMessageFor(std::make_exception_ptr(SilentAbort())));
        QVERIFY(!errorMessageFor(std::exception_ptr()));
        QCOMPARE(applicationTitle(), QStringLiteral("QRN    Quorin"));
    }

private:
    QStringList m_reported;
};

int main(int argc, char *argv[])
{
    QuorinApplication app(argc, argv);
    TestQuorinApplication test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_quorinapplication.moc"
