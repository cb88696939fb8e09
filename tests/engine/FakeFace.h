#pragma once
// A main window without widgets: keeps what the engine sets, raises events as the real controls do.

#include "engine/Engine.h"
#include "engine/Face.h"

#include <array>

namespace zentimo::test {

class FakeFace : public Face {
public:
    Engine* engine = nullptr;
    std::array<QString, 3> texts{QStringLiteral("00"), QStringLiteral("00"), QStringLiteral("00")};
    std::array<int, 3> values{0, 0, 0};
    std::array<int, 3> minimums{0, 0, 0};
    std::array<int, 3> maximums{99, 99, 99};
    std::array<bool, 8> enabled{true, true, true, true, true, true, true, true};
    bool locked = false;
    bool spinnersEnabled = true;
    QString captionText = QStringLiteral("Start");
    std::uint32_t startColor = 0x00FF00FF;

    QString fieldText(TimeField f) const override { return texts[int(f)]; }
    void setFieldText(TimeField f, const QString& text) override
    {
        if (texts[int(f)] == text)
            return;
        texts[int(f)] = text;
        engine->FieldTextChanged(*this, f);
    }
    void setFieldsLocked(bool on) override { locked = on; }
    void setFieldMaxLength(TimeField, int) override {}
    int spinnerValue(TimeField f) const override { return values[int(f)]; }
    void setSpinnerValue(TimeField f, int value) override
    {
        const int i = int(f);
        if (value < minimums[i] || value > maximums[i] || value == values[i])
            return;
        values[i] = value;
        engine->SpinnerChanged(*this, f);
    }
    void setSpinnerMinimum(TimeField f, int minimum) override
    {
        minimums[int(f)] = minimum;
        values[int(f)] = std::max(values[int(f)], minimum);
    }
    void setSpinnerMaximum(TimeField f, int maximum) override
    {
        maximums[int(f)] = maximum;
        values[int(f)] = std::min(values[int(f)], maximum);
    }
    void setSpinnersEnabled(bool on) override { spinnersEnabled = on; }
    QString caption() const override { return captionText; }
    void setCaption(const QString& c) override { captionText = c; }
    void setButtonEnabled(Cmd b, bool on) override { enabled[int(b)] = on; }
    std::uint32_t startButtonColor() const override { return startColor; }
    void setStartButtonColor(std::uint32_t c) override { startColor = c; }
    void setStatusPanel(StatusPanel, const QString&) override {}
    void setSecondsCaption(const QString&) override {}

    QString time() const { return texts[0] + QLatin1Char(':') + texts[1] + QLatin1Char(':') + texts[2]; }
};

} // namespace zentimo::test
