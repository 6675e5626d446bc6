// The details window made when first needed, against the one made with the bar at start-up and
// the other windows after it (the reference): after the same commands the user must see the
// same thing, whether the window was made at start-up or late, opened before or not.
#include "BmpSupport.h"
#include "TestSupport.h"
#include "app/Unit1.h"
#include "controls/Image.h"
#include "controls/Label.h"
#include "platform/Files.h"
#include "windows/Unit2.h"
#include "windows/Unit3.h"

#include <QCoreApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <optional>
#include <ostream>

namespace {

using vtest::Errors;

const QColor BlueFace(0x10, 0x20, 0xC0);
const QString NotValid = QStringLiteral("Bitmap image is not valid.");

// What the user sees once a sequence has ended with Show Details.
struct Seen {
    QStringList BoxesBeforeTheBar; // error boxes that came up before the bar showed
    QStringList Boxes;             // every error box, in order
    QString Face;                  // of the details window: built-in, blue or none
    int32_t TextColor = -1;        // of its six labels, when they share one
    QPoint Bar;                    // where the bar is
    int Band = 0;                  // the load band's width: drawn after the command or not
    int BandAfterTick = 0;         // and after a tick with the load back at its start-up figure
    bool operator==(const Seen&) const = default;
};

void PrintTo(const Seen& s, std::ostream* out) {
    *out << "{before the bar [" << s.BoxesBeforeTheBar.join(u'|').toStdString() << "], boxes ["
         << s.Boxes.join(u'|').toStdString() << "], face " << s.Face.toStdString()
         << ", text colour " << s.TextColor << ", bar at " << s.Bar.x() << ',' << s.Bar.y()
         << ", band " << s.Band << " then " << s.BandAfterTick << '}';
}

enum class Made { AtStartUp, WhenNeeded };

struct Sequence {
    const char* Name;
    QByteArray Settings; // stored before the program starts
    std::function<void()> Steps;
    Seen Expected; // what the window made at start-up gives
};

void PrintTo(const Sequence& sequence, std::ostream* out) {
    *out << sequence.Name;
}

// Preferences..., with `inside` run in the open dialog (which closes it).
void InDialog(const std::function<void()>& inside) {
    QTimer::singleShot(0, [inside] { inside(); });
    Vantrel->Prefs1->trigger();
}

QListWidgetItem* Entry(const char* scheme) {
    const auto found = DPrefs->SchemeList->findItems(QLatin1String(scheme), Qt::MatchExactly);
    return found.isEmpty() ? nullptr : found.first();
}

void Choose(const char* scheme) {
    DPrefs->SchemeList->setCurrentItem(Entry(scheme));
}

void ApplyThenCancel(const char* scheme) {
    InDialog([scheme] {
        Choose(scheme);
        DPrefs->Button4->click();
        DPrefs->Button3->click();
    });
}

void OkWith(const char* scheme) {
    InDialog([scheme] {
        Choose(scheme);
        DPrefs->Button1->click();
    });
}

void DoubleClickThenCancel(const char* scheme) {
    InDialog([scheme] {
        QWidget* viewport = DPrefs->SchemeList->viewport();
        const QPoint at = DPrefs->SchemeList->visualItemRect(Entry(scheme)).center();
        QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, at);
        DPrefs->Button3->click();
    });
}

// The bar at its first-run place. The band of the built-in bar as drawn from the start-up sample
// (64 %) and from a sample taken after it (95 %); a command that ends after the bar's scheme was
// loaded leaves it as wide as its picture (136 pixels) until the next tick draws it, also when
// that tick finds the load the band was last drawn for.
const platform::MemoryStatus StartUpMemory{268435456, 100663296};
constexpr QPoint BarAtStart(424, 0);
constexpr int BandAtStart = 87;
constexpr int BandRedrawn = 129;
constexpr int BandNotDrawn = 136;

class MadeLate : public vtest::WindowsTest, public testing::WithParamInterface<Sequence> {
protected:
    void SetUp() override {
        vtest::WindowsTest::SetUp();
        ASSERT_TRUE(Root.isValid());
        vtest::WriteFile(Root.path() + QStringLiteral("/skins/blue/details.bmp"),
                         vtest::SolidBmp(177, 73, BlueFace));
        vtest::WriteFile(Root.path() + QStringLiteral("/skins/blue/TextColor.txt"), "clRed\r\n");
        vtest::WriteFile(Root.path() + QStringLiteral("/skins/bad/details.bmp"), "no picture");
        Drives.emplace(vtest::DriveList{{u'C', QStringLiteral("/")}, {u'X', Root.path()}});
        ExpectErrorBoxes();
    }
    void TearDown() override {
        Drives.reset();
        vtest::WindowsTest::TearDown();
    }

    // Starts the program on the sequence's settings, runs it and tells what the user sees.
    Seen Run(Made made, bool openedBefore) {
        DestroyForms();
        vtest::WriteFile(SettingsFolder() + QStringLiteral("/HKEY_CURRENT_USER.reg"),
                         "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Quillmoor\\Vantrel]\n"
                         "\"Dir\"=\"x:\\\\skins\\\\\"\n\"TimerDelay\"=\"60000\"\n" +
                             GetParam().Settings);
        Memory.Status = StartUpMemory;
        Errors().clear();
        Seen seen;
        CreateForms([&] {
            // Where the program shows the bar; the reference has made all four windows by then.
            if (made == Made::AtStartUp) {
                if (!FDetails) new TFDetails();
                PrefsDialog();
                AboutBox();
            }
            seen.BoxesBeforeTheBar = Errors();
        });
        QCoreApplication::processEvents();
        if (openedBefore) {
            Vantrel->ShowDetails1->trigger();
            FDetails->close();
        }
        Memory.Status = {268435456, 16777216};
        GetParam().Steps();
        Vantrel->ShowDetails1->trigger();
        seen.Boxes = Errors();
        if (FDetails && FDetails->isVisible()) {
            const TImage* face = FDetails->IDetails;
            if (face->Picture().isNull())
                seen.Face = QStringLiteral("none");
            else if (face->Picture().cacheKey() == FDetails->res_details->Picture().cacheKey())
                seen.Face = QStringLiteral("built-in");
            else if (face->Picture().toImage().pixelColor(0, 0) == BlueFace)
                seen.Face = QStringLiteral("blue");
            else
                seen.Face = QStringLiteral("another");
            const int32_t color = FDetails->Label1->FontColor();
            bool shared = true;
            for (const TLabel* label : {FDetails->Label2, FDetails->Label3, FDetails->Label4,
                                        FDetails->Label5, FDetails->Label6})
                shared = shared && label->FontColor() == color;
            if (shared) seen.TextColor = color;
        }
        seen.Bar = Vantrel->pos();
        seen.Band = Vantrel->Ibar->width();
        Memory.Status = StartUpMemory;
        QMetaObject::invokeMethod(Vantrel->SuperTimer1, "timeout");
        seen.BandAfterTick = Vantrel->Ibar->width();
        return seen;
    }

    QTemporaryDir Root;
    std::optional<vtest::FixedDrives> Drives;
};

TEST_P(MadeLate, SeesWhatTheWindowMadeAtStartUpGives) {
    const Seen reference = Run(Made::AtStartUp, false);
    EXPECT_EQ(reference, GetParam().Expected);
    for (const Made made : {Made::AtStartUp, Made::WhenNeeded})
        for (const bool openedBefore : {false, true}) {
            SCOPED_TRACE(std::string(made == Made::AtStartUp ? "made at start-up" : "made late") +
                         (openedBefore ? ", opened and closed before" : ""));
            EXPECT_EQ(Run(made, openedBefore), reference);
        }
}

const Sequence Sequences[] = {
    // Apply reloads the bar alone: the details window keeps the look it loaded at start-up.
    {"ApplyBlueCancelShowDetails",
     "",
     [] { ApplyThenCancel("blue"); },
     {{}, {}, "built-in", 0, BarAtStart, BandRedrawn, BandAtStart}},
    // Show Details loads nothing, so it has nothing to report.
    {"ApplyBadCancelShowDetails",
     "",
     [] { ApplyThenCancel("bad"); },
     {{}, {}, "built-in", 0, BarAtStart, BandRedrawn, BandAtStart}},
    // OK: the details window's scheme fails, and that ends the command before the bar is drawn
    // again and held against the bottom edge.
    {"OkWithBadEndsAtItsError",
     "\"FixPos\"=\"1\"\n\"BarPos\"=\"3\"\n",
     [] { OkWith("bad"); },
     {{}, {NotValid}, "built-in", 0, BarAtStart, BandNotDrawn, BandAtStart}},
    // The same for a double click in the scheme list.
    {"DoubleClickOnBadEndsAtItsError",
     "",
     [] { DoubleClickThenCancel("bad"); },
     {{}, {NotValid}, "built-in", 0, BarAtStart, BandNotDrawn, BandAtStart}},
    // OK with a scheme of its own: face and text colour.
    {"OkWithBlue",
     "\"FixPos\"=\"1\"\n\"BarPos\"=\"3\"\n",
     [] { OkWith("blue"); },
     {{}, {}, "blue", 0x000000FF, QPoint(424, 768 - 21), BandRedrawn, BandAtStart}},
    // A fault in the details window's scheme at start-up is reported before the bar shows; the
    // window keeps no face and the labels their first colour.
    {"StartUpWithBadReportsBeforeTheBarShows",
     "\"Scheme\"=\"bad\"\n",
     [] {},
     {{NotValid}, {NotValid}, "none", 0, BarAtStart, BandAtStart, BandAtStart}},
};

INSTANTIATE_TEST_SUITE_P(DetailsWindow, MadeLate, testing::ValuesIn(Sequences),
                         [](const testing::TestParamInfo<Sequence>& info) {
                             return std::string(info.param.Name);
                         });

} // namespace
