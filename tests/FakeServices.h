// Stand-ins for the platform services, each in place of the real one for as long as it lives.
#pragma once

#include "platform/Files.h"
#include "platform/Locale.h"
#include "platform/Registry.h"
#include "platform/Screen.h"
#include "platform/Service.h"

#include <QList>
#include <QRect>
#include <functional>
#include <utility>
#include <vector>

namespace vtest {

using DriveList = std::vector<platform::DriveMapping>;

// Drive letters that stand for the given folders, whatever is mounted.
class FixedDrives : public platform::DriveLetters {
public:
    explicit FixedDrives(DriveList drives) : Mapped(std::move(drives)) {}

protected:
    DriveList Mounted() override { return Mapped; }

private:
    DriveList Mapped;
    platform::Replace<platform::DriveLetters> InPlace{*this};
};

// Monitors of one scale at fixed places, the primary first.
class FixedScreens : public platform::Monitors {
public:
    explicit FixedScreens(QList<QRect> screens) : Fixed(std::move(screens)) {}
    // Other monitors, told to those watching as a change of monitors is.
    void Set(QList<QRect> screens) {
        Fixed = std::move(screens);
        TellWatchers();
    }
    QList<QRect> All() override { return Fixed; }
    QPoint KeepPressedPointUnder(const QWidget*, QPoint moved, QPoint) override { return moved; }

private:
    QList<QRect> Fixed;
    platform::Replace<platform::Monitors> InPlace{*this};
};

// A locale that groups thousands with ','.
class CommaLocale : public platform::UserLocale {
protected:
    QChar ReadSeparator() override { return u','; }

private:
    platform::Replace<platform::UserLocale> InPlace{*this};
};

// The settings file in a folder of the test's, with an action run at each step of every replace.
class PrivateSettings : public platform::SettingsStore {
public:
    explicit PrivateSettings(const QString& folder) : SettingsStore(folder) {}
    std::function<void(platform::RegWriteStep)> AtStep;

protected:
    void Stepped(platform::RegWriteStep step) override {
        if (AtStep) AtStep(step);
    }

private:
    platform::Replace<platform::SettingsStore> InPlace{*this};
};

} // namespace vtest
