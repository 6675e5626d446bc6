// The program-wide window references and the creation order of the windows.
#include "app/Globals.h"

#include "app/Unit1.h"
#include "windows/Unit2.h"
#include "windows/Unit3.h"
#include "windows/Unit4.h"

#include <QFont>
#include <QtGlobal>

TVantrel* Vantrel = nullptr;
TFDetails* FDetails = nullptr;
TDPrefs* DPrefs = nullptr;
TDAbout* DAbout = nullptr;

void CreateForms(const std::function<void()>& afterBar) {
    // The built-in pictures are compiled into the static vantrel_app library, which nothing
    // else makes the linker keep; pull them in.
    Q_INIT_RESOURCE(vantrel);
    // The windows are laid out for "MS Sans Serif" at 11 pixels; where it is missing, a sans
    // serif of the same narrow widths keeps every caption inside its control.
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                                QStringLiteral("Arial"), QStringLiteral("Nimbus Sans"),
                                QStringLiteral("Helvetica"),
                                QStringLiteral("DejaVu Sans Condensed")});
    // Each constructor sets its reference before it runs its creation handler, so handlers
    // reach the windows already created.
    new TVantrel();
    // The details window loads its scheme as it is made; its faults are reported and start-up
    // goes on, all before the bar shows. A scheme without files of its own would give it the
    // built-in look, which it is given when it is first needed.
    if (TFDetails::SchemeHasFiles()) new TFDetails();
    if (afterBar) afterBar();
}

TFDetails* DetailsWindow() {
    // Not made yet, the window has loaded only schemes without files of their own.
    if (!FDetails) new TFDetails(TFDetails::FirstLook::BuiltIn);
    return FDetails;
}

void LoadDetailsScheme() {
    // A scheme with files of its own is loaded into the window, made now if need be, and a
    // fault in them ends the command, however old the window; one without them leaves an unmade
    // window with the built-in look it will be given.
    if (FDetails || TFDetails::SchemeHasFiles()) DetailsWindow()->LoadScheme();
}

TDPrefs* PrefsDialog() {
    if (!DPrefs) new TDPrefs();
    return DPrefs;
}

TDAbout* AboutBox() {
    if (!DAbout) new TDAbout();
    return DAbout;
}

void DestroyForms() {
    delete DAbout;
    delete DPrefs;
    delete FDetails;
    delete Vantrel;
    DAbout = nullptr;
    DPrefs = nullptr;
    FDetails = nullptr;
    Vantrel = nullptr;
}
