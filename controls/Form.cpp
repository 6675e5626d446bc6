// Shared set-up of the program's windows.
#include "controls/Form.h"

#include "controls/Accessible.h"

#include <QFont>
#include <QPalette>
#include <QWidget>

void SetUpForm(QWidget* form, QSize client, QColor background) {
    form->setAttribute(Qt::WA_QuitOnClose, false);
    MarkAccessibleWindow(form);
    form->setFixedSize(client);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    form->setFont(font);
    if (background.isValid()) {
        QPalette pal = form->palette();
        pal.setColor(QPalette::Window, background);
        form->setPalette(pal);
        form->setAutoFillBackground(true);
    }
}
