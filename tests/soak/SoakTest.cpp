// Long runs: a million samples with scheme reloads in between, and the details window, the
// preferences dialog and the about box opened and closed a thousand times each. Resident memory
// stays flat after the first runs.
#include "BmpSupport.h"
#include "TestSupport.h"
#include "app/Unit1.h"
#include "platform/ErrorReport.h"
#include "platform/Shell.h"
#include "windows/Unit2.h"
#include "windows/Unit3.h"
#include "windows/Unit4.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <malloc.h>
#include <unistd.h>

namespace {

// Resident memory in kilobytes, with the memory the allocator holds free given back first, so
// that what remains is what the program keeps.
long ResidentKb() {
    malloc_trim(0);
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return resident * (::sysconf(_SC_PAGESIZE) / 1024);
}

// How many times: the figure given, or the environment's VANTREL_SOAK_<NAME> to run shorter or
// longer.
long Count(const char* name, long figure) {
    const QByteArray value = qgetenv((QByteArray("VANTREL_SOAK_") + name).constData());
    bool ok = false;
    const long n = value.toLong(&ok);
    return ok && n > 0 ? n : figure;
}

// Growth of resident memory allowed between the end of the warm-up and the end of a run. A leak
// of 8 bytes a sample over a million samples shows well above it.
constexpr long NoiseKb = 2048;

// The same for a thousand showings of a window.
constexpr long WindowNoiseKb = 512;

// Qt 6.4 connects a window to the application each time the window is activated and does not
// undo it when the window is hidden or closed while it has the focus, so every showing of any
// window keeps about 90 bytes until the window is deleted (a bare QDialog does the same). The
// soak takes that connection out again after each run, so that what it measures is the
// program's own.
void DropQtActivationConnections() {
    for (QWindow* w : QGuiApplication::topLevelWindows())
        if (w != QGuiApplication::focusWindow())
            QObject::disconnect(w, SIGNAL(focusObjectChanged(QObject*)), qApp,
                                SLOT(_q_updateFocusObject(QObject*)));
}

// A notification area that keeps nothing: the tests' recording one would grow with every hint.
class QuietShell : public platform::NotifyShell {
public:
    bool NotifyIcon(uint32_t, const platform::NOTIFYICONDATAA&) override { return true; }
};

class Soak : public vtest::WindowsTest {
protected:
    void SetUp() override {
        vtest::WindowsTest::SetUp();
        ASSERT_TRUE(Root.isValid());
        const QString skins = Root.path() + QStringLiteral("/skins/");
        const auto bmp = [&](const QString& file, int w, int h, QColor c) {
            vtest::WriteFile(skins + file, vtest::SolidBmp(w, h, c));
        };
        for (const char* name : {"blue", "green"}) {
            const QString s = QLatin1String(name) + u'/';
            bmp(s + QStringLiteral("back.bmp"), 177, 21, Qt::darkBlue);
            bmp(s + QStringLiteral("bar.bmp"), 120, 13, Qt::cyan);
            bmp(s + QStringLiteral("bbar.bmp"), 3, 13, Qt::green);
            bmp(s + QStringLiteral("ebar.bmp"), 5, 13, Qt::red);
            bmp(s + QStringLiteral("cache.bmp"), 2, 13, Qt::yellow);
            bmp(s + QStringLiteral("details.bmp"), 177, 73, Qt::gray);
            vtest::WriteFile(skins + s + QStringLiteral("TextColor.txt"), "clRed\r\n");
        }
        // A scheme that fails to load: its bar picture is not a bitmap.
        bmp(QStringLiteral("broken/back.bmp"), 177, 21, Qt::black);
        vtest::WriteFile(skins + QStringLiteral("broken/bar.bmp"), "BM not a bitmap");
        vtest::WriteFile(skins + QStringLiteral("broken/TextColor.txt"), "clNothing");
        Vantrel->BarPrefs.Dir = skins;
        Vantrel->SuperTimer1->stop(); // the test drives the sampler itself
        Vantrel->show();
        QApplication::processEvents();
    }

    QuietShell Quiet;
    const platform::Replace<platform::NotifyShell> QuietInPlace{Quiet};

    void LoadScheme(const QString& scheme) {
        Vantrel->BarPrefs.Scheme = scheme;
        platform::Guarded([] { Vantrel->LoadScheme(); });
        platform::Guarded([] { FDetails->LoadScheme(); });
        Vantrel->MemFig.LastBarWidth = 0;
        vtest::Errors().clear();
    }

    // Runs `step` n times and prints the resident memory at the start, after the first `warmUp`
    // runs and at the end; returns the growth after the warm-up.
    long Measure(const char* what, long n, long warmUp, const std::function<void(long)>& step) {
        const long start = ResidentKb();
        QElapsedTimer clock;
        clock.start();
        long settled = start;
        for (long i = 0; i < n; ++i) {
            if (i == warmUp) settled = ResidentKb();
            step(i);
        }
        const long end = ResidentKb();
        std::printf("[   SOAK   ] %s: %ld runs in %.1f s; resident %ld KB at the start, %ld KB "
                    "after %ld runs, %ld KB at the end\n",
                    what, n, double(clock.elapsed()) / 1000, start, settled, warmUp, end);
        std::fflush(stdout);
        return end - settled;
    }

    QTemporaryDir Root;
};

TEST_F(Soak, AMillionSamplesWithSchemeReloads) {
    const QString schemes[] = {QStringLiteral("blue"), QStringLiteral("<default>"),
                               QStringLiteral("green"), QStringLiteral("broken"),
                               QStringLiteral("missing")};
    QRandomGenerator random(1500);
    constexpr uint64_t Total = 8ull << 30;
    Memory.Status.TotalPhys = Total;
    const long growth = Measure("samples", Count("SAMPLES", 1000000), 1000, [&](long i) {
        // Mostly small moves around a level that drifts, now and then a jump.
        const uint64_t level =
            random.bounded(20) == 0 ? random.bounded(quint64(Total)) : (Total / 3);
        Memory.Status.AvailPhys =
            std::min<uint64_t>(Total, level + random.bounded(quint64(1) << 30));
        Vantrel->Timer();
        if (i % 64 == 0) QApplication::processEvents();
        if (i % 5000 == 4999) LoadScheme(schemes[(i / 5000) % std::size(schemes)]);
        if (i % 20000 == 0) {
            if (Vantrel->DetailsShown)
                FDetails->close();
            else
                Vantrel->ShowDetails1Click();
        }
    });
    EXPECT_LE(growth, NoiseKb);
    EXPECT_TRUE(vtest::Errors().isEmpty()) << vtest::Errors().join('\n').toStdString();
}

TEST_F(Soak, TheDetailsWindowOpenedAndClosedAThousandTimes) {
    const long n = Count("WINDOWS", 1000);
    const long growth = Measure("details window", n, 100, [&](long i) {
        Memory.Status.AvailPhys = uint64_t(i % 97) << 20;
        Vantrel->ShowDetails1Click();
        QApplication::processEvents();
        Vantrel->Timer();
        FDetails->close();
        QApplication::processEvents();
        DropQtActivationConnections();
    });
    EXPECT_LE(growth, WindowNoiseKb);
    EXPECT_FALSE(Vantrel->DetailsShown);
    EXPECT_TRUE(vtest::Errors().isEmpty());
}

TEST_F(Soak, ThePreferencesDialogOpenedAndClosedAThousandTimes) {
    const long n = Count("WINDOWS", 1000);
    long opened = 0;
    const long growth = Measure("preferences dialog", n, 100, [&](long i) {
        QTimer::singleShot(0, DPrefs, [i, &opened] {
            opened += DPrefs->isVisible();
            // Browse for the folder, pick a scheme, apply it, then OK or Cancel.
            DPrefs->Button2->click();
            QApplication::processEvents();
            DPrefs->Button6->click();
            if (DPrefs->SchemeList->count() > 0)
                DPrefs->SchemeList->setCurrentRow(int(i % DPrefs->SchemeList->count()));
            DPrefs->Button4->click();
            (i % 2 ? DPrefs->Button1 : DPrefs->Button3)->click();
        });
        Vantrel->Prefs1Click();
        vtest::Errors().clear(); // the broken scheme's report
        QApplication::processEvents();
        DropQtActivationConnections();
    });
    EXPECT_LE(growth, WindowNoiseKb);
    EXPECT_EQ(opened, n);
    EXPECT_FALSE(DPrefs->isVisible());
}

TEST_F(Soak, TheAboutBoxOpenedAndClosedAThousandTimes) {
    const long n = Count("WINDOWS", 1000);
    long opened = 0;
    const long growth = Measure("about box", n, 100, [&](long) {
        QTimer::singleShot(0, DAbout, [&opened] {
            opened += DAbout->isVisible();
            QApplication::processEvents();
            DAbout->close();
        });
        Vantrel->About1Click();
        QApplication::processEvents();
        DropQtActivationConnections();
    });
    EXPECT_LE(growth, WindowNoiseKb);
    EXPECT_EQ(opened, n);
    EXPECT_FALSE(DAbout->isVisible());
    EXPECT_TRUE(vtest::Errors().isEmpty());
}

} // namespace
