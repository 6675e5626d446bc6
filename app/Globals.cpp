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
    if (afterBar) afterBar();
    LoadDetailsScheme();
}

TFDetails* DetailsWindow() {
    if (!FDetails) new TFDetails();
    return FDetails;
}

void LoadDetailsScheme() {
    if (FDetails)
        FDetails->LoadScheme();
    else if (TFDetails::SchemeHasFiles())
        new TFDetails();
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
