// Operations that change the machine itself: setting the clock and ending
// the session (log off, restart, power off). They sit behind one small
// interface so that a test can put a recorder in their place and no test
// ever changes the machine it runs on. No interpreter types.
#pragma once

#include <ctime>
#include <memory>

namespace tarn::fn {

enum class SessionEnd { LogOff, Restart, PowerOff };

class SystemActions {
public:
    virtual ~SystemActions() = default;
    // 0 done, else an errno value (EPERM: not allowed to).
    virtual int SetClock(std::time_t when) = 0;
    virtual int EndSession(SessionEnd what, bool forced) = 0;
};

// The actions in use. Chosen on first use by TARN_SYSTEM_ACTIONS: unset or
// empty, the machine's own (clock_settime; loginctl, systemctl); "record:FILE",
// a recorder that appends one line per request to FILE ("clock
// YYYY:MM:DD:HH:MM:SS", "logoff", "restart", "poweroff", with " forced") and
// reports success; "refuse", one that does nothing and reports EPERM. Any
// other value refuses too, so a mistyped setting never reaches the machine.
SystemActions& systemActions();
// Puts other actions in place (null: choose again from the environment).
void setSystemActions(std::unique_ptr<SystemActions> actions);

}  // namespace tarn::fn
