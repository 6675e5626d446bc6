// The accessibility interfaces of the label, image and shape controls and of the windows.
#include "controls/Accessible.h"

#include "controls/Image.h"
#include "controls/Label.h"
#include "controls/Shape.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QVariant>

namespace {

const char* const WindowMark = "vantrelWindow";

class AccessibleLabel : public QAccessibleWidget {
public:
    explicit AccessibleLabel(TLabel* label) : QAccessibleWidget(label, QAccessible::StaticText) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return static_cast<const TLabel*>(widget())->Caption();
        return QAccessibleWidget::text(t);
    }
};

class AccessibleImage : public QAccessibleWidget {
public:
    explicit AccessibleImage(TImage* image) : QAccessibleWidget(image, QAccessible::Graphic) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return static_cast<const TImage*>(widget())->Meaning();
        return QAccessibleWidget::text(t);
    }
};

class AccessibleShape : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit AccessibleShape(TShape* shape) : QAccessibleWidget(shape, shape->Accessible.Role) {}

    const TShape::Accessibility& Info() const {
        return static_cast<const TShape*>(widget())->Accessible;
    }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && !Info().Name.isEmpty()) return Info().Name;
        if (t == QAccessible::Description && Info().Description) return Info().Description();
        if (t == QAccessible::Value && Info().Value) return QString::number(Info().Value());
        return QAccessibleWidget::text(t);
    }

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::ValueInterface && Info().Value)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    // The value can be read, not set: the shape shows a figure the program measures.
    QVariant currentValue() const override { return Info().Value ? Info().Value() : 0; }
    void setCurrentValue(const QVariant&) override {}
    QVariant maximumValue() const override { return Info().Maximum; }
    QVariant minimumValue() const override { return Info().Minimum; }
    QVariant minimumStepSize() const override { return 1; }

    QStringList actionNames() const override {
        QStringList names = QAccessibleWidget::actionNames();
        if (Info().Press) names.prepend(pressAction());
        return names;
    }
    void doAction(const QString& action) override {
        if (action == pressAction() && Info().Press)
            Info().Press();
        else
            QAccessibleWidget::doAction(action);
    }
};

// A picture that only decorates, or a shape that only catches the mouse: nothing to read.
bool Decorative(const QObject* object) {
    if (const auto* image = qobject_cast<const TImage*>(object)) return image->Meaning().isEmpty();
    if (const auto* shape = qobject_cast<const TShape*>(object))
        return shape->Accessible.Role == QAccessible::Client && shape->Accessible.Name.isEmpty();
    return false;
}

// A window of the program; without a caption it goes by the application's name. Its children
// are the controls that say something: the pictures and shapes that only dress the window are
// left out, so a screen reader does not stop at a row of nameless images.
class AccessibleWindow : public QAccessibleWidget {
public:
    explicit AccessibleWindow(QWidget* window) : QAccessibleWidget(window, QAccessible::Window) {}

    QString text(QAccessible::Text t) const override {
        QString value = QAccessibleWidget::text(t);
        if (t == QAccessible::Name && value.isEmpty()) value = QApplication::applicationName();
        return value;
    }

    int childCount() const override { return int(Meaningful().size()); }
    QAccessibleInterface* child(int index) const override {
        const QList<QAccessibleInterface*> children = Meaningful();
        return index >= 0 && index < children.size() ? children[index] : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return int(Meaningful().indexOf(const_cast<QAccessibleInterface*>(child)));
    }

private:
    QList<QAccessibleInterface*> Meaningful() const {
        QList<QAccessibleInterface*> children;
        for (int i = 0, n = QAccessibleWidget::childCount(); i < n; ++i)
            if (QAccessibleInterface* item = QAccessibleWidget::child(i);
                item && !Decorative(item->object()))
                children.append(item);
        return children;
    }
};

QAccessibleInterface* ControlInterface(const QString& className, QObject* object) {
    if (className == QLatin1String("TLabel"))
        return new AccessibleLabel(static_cast<TLabel*>(object));
    if (className == QLatin1String("TImage"))
        return new AccessibleImage(static_cast<TImage*>(object));
    if (className == QLatin1String("TShape"))
        return new AccessibleShape(static_cast<TShape*>(object));
    // Plain windows only: a dialog keeps the interface Qt gives dialogs.
    if (className == QLatin1String("QWidget") && object->property(WindowMark).toBool())
        return new AccessibleWindow(static_cast<QWidget*>(object));
    return nullptr;
}

} // namespace

void UseAccessibleControls() {
    static const bool installed = [] {
        QAccessible::installFactory(ControlInterface);
        return true;
    }();
    (void)installed;
}

void MarkAccessibleWindow(QWidget* window) {
    UseAccessibleControls();
    window->setProperty(WindowMark, true);
}

// Nothing is said unless an assistive client listens. Asking whether one does brings up the
// accessibility bridge, which no hidden control needs (nor the bar before it is on screen).
void AnnounceNameChange(QWidget* control) {
    if (!control->isVisible() || !QAccessible::isActive()) return;
    QAccessibleEvent event(control, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

void AnnounceValueChange(QWidget* control, int value) {
    if (!control->isVisible() || !QAccessible::isActive()) return;
    QAccessibleValueChangeEvent event(control, value);
    QAccessible::updateAccessibility(&event);
}
