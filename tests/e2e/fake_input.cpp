// Real input on a Wayland compositor that offers KDE's fake-input protocol (KWin): the pointer,
// its buttons and keys, as a person's hand gives them, for the end-to-end scripts.
//
//   fake_input STEP...
//     move X Y       the pointer to the point (the compositor's coordinates)
//     down BUTTON    a button (left, right, middle) pressed; up BUTTON released
//     click BUTTON   pressed and released
//     key KEYS       keys pressed together and released, as ctrl+q
//     sleep MS       a pause
//
// Exits 0 when every step was sent, 2 on a step it does not know, 3 where the compositor has no
// such protocol or refuses the connection.
#include "fake-input-client-protocol.h"

#include <wayland-client.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace {

// Linux's input event codes (linux/input-event-codes.h), the ones the scripts use.
constexpr uint32_t ButtonLeft = 0x110, ButtonRight = 0x111, ButtonMiddle = 0x112;

std::optional<uint32_t> ButtonCode(std::string_view name) {
    if (name == "left") return ButtonLeft;
    if (name == "right") return ButtonRight;
    if (name == "middle") return ButtonMiddle;
    return std::nullopt;
}

std::optional<uint32_t> KeyCode(std::string_view name) {
    struct Named {
        std::string_view Name;
        uint32_t Code;
    };
    static constexpr Named named[] = {
        {"ctrl", 29},  {"shift", 42}, {"alt", 56},   {"escape", 1}, {"tab", 15},    {"return", 28},
        {"space", 57}, {"up", 103},   {"down", 108}, {"left", 105}, {"right", 106},
    };
    for (const Named& key : named)
        if (key.Name == name) return key.Code;
    // The letters in the rows of a US keyboard, with their codes.
    static constexpr std::string_view rows[] = {"qwertyuiop", "asdfghjkl", "zxcvbnm"};
    static constexpr uint32_t firsts[] = {16, 30, 44};
    if (name.size() == 1)
        for (int row = 0; row < 3; ++row)
            if (const size_t at = rows[row].find(name[0]); at != std::string_view::npos)
                return firsts[row] + uint32_t(at);
    return std::nullopt;
}

struct Globals {
    org_kde_kwin_fake_input* Input = nullptr;
};

void Announced(void* data, wl_registry* registry, uint32_t name, const char* interface,
               uint32_t version) {
    if (std::strcmp(interface, org_kde_kwin_fake_input_interface.name) != 0) return;
    // Keys came with the fourth version; absolute motion with the third.
    const uint32_t wanted = version < 4 ? version : 4;
    static_cast<Globals*>(data)->Input = static_cast<org_kde_kwin_fake_input*>(
        wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, wanted));
}
void Removed(void*, wl_registry*, uint32_t) {}
constexpr wl_registry_listener RegistryListener = {Announced, Removed};

int Fail(int status, const char* what, const char* step = "") {
    std::fprintf(stderr, "fake_input: %s%s\n", what, step);
    return status;
}

} // namespace

int main(int argc, char** argv) {
    wl_display* display = wl_display_connect(nullptr);
    if (!display) return Fail(3, "no Wayland compositor to connect to");
    Globals globals;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &RegistryListener, &globals);
    wl_display_roundtrip(display);
    if (!globals.Input) return Fail(3, "the compositor offers no fake input");
    org_kde_kwin_fake_input_authenticate(globals.Input, "Vantrel tests", "end-to-end tests");

    const std::vector<std::string> steps(argv + 1, argv + argc);
    const auto number = [&](size_t at) {
        return at < steps.size() ? std::atof(steps[at].c_str()) : 0.0;
    };
    for (size_t i = 0; i < steps.size(); ++i) {
        const std::string& step = steps[i];
        const bool hasArgument = i + 1 < steps.size();
        if (step == "move" && i + 2 < steps.size()) {
            org_kde_kwin_fake_input_pointer_motion_absolute(globals.Input,
                                                            wl_fixed_from_double(number(i + 1)),
                                                            wl_fixed_from_double(number(i + 2)));
            i += 2;
        } else if ((step == "down" || step == "up" || step == "click") && hasArgument) {
            const std::optional<uint32_t> button = ButtonCode(steps[++i]);
            if (!button) return Fail(2, "no such button: ", steps[i].c_str());
            if (step != "up") org_kde_kwin_fake_input_button(globals.Input, *button, 1);
            if (step == "click") wl_display_roundtrip(display);
            if (step != "down") org_kde_kwin_fake_input_button(globals.Input, *button, 0);
        } else if (step == "key" && hasArgument) {
            std::vector<uint32_t> keys;
            std::string_view all = steps[++i];
            for (size_t start = 0; start <= all.size();) {
                const size_t end = std::min(all.find('+', start), all.size());
                const std::optional<uint32_t> key = KeyCode(all.substr(start, end - start));
                if (!key) return Fail(2, "no such key in ", steps[i].c_str());
                keys.push_back(*key);
                start = end + 1;
            }
            for (uint32_t key : keys)
                org_kde_kwin_fake_input_keyboard_key(globals.Input, key, 1);
            wl_display_roundtrip(display);
            for (auto key = keys.rbegin(); key != keys.rend(); ++key)
                org_kde_kwin_fake_input_keyboard_key(globals.Input, *key, 0);
        } else if (step == "sleep" && hasArgument) {
            wl_display_roundtrip(display);
            std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(steps[++i].c_str())));
        } else {
            return Fail(2, "no such step: ", step.c_str());
        }
        wl_display_roundtrip(display);
    }
    org_kde_kwin_fake_input_destroy(globals.Input);
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    return 0;
}
