#pragma once

namespace skin {

// A button's click: a press arms it and the next release clicks only if it
// lands on the button. The press of a double-click is disarmed again, so a
// double-click gives one click.
class ClickArm final
{
public:
    void arm() { m_armed = true; }
    void disarm() { m_armed = false; }

    // Disarms; true when this release is a click.
    bool release(bool onButton)
    {
        const bool click = m_armed && onButton;
        m_armed = false;
        return click;
    }

private:
    bool m_armed = false;
};

} // namespace skin
