#pragma once
// The two faces of the main window differ by these tables (twips: Left, Top, Width, Height).

#include <QString>

namespace zentimo {

struct TwipsRect {
    int left;
    int top;
    int width;
    int height;
};

struct MainLayout {
    const char* formName;
    int clientWidth;
    int clientHeight;
    // Caption labels over hours, minutes, seconds.
    const char* captionNames[3];
    const char* captionTexts[3];
    TwipsRect captions[3];
    // Time fields Label2 (hours), Label1 (minutes), Label3 (seconds).
    TwipsRect fields[3];
    // The two ":" labels.
    const char* colonNames[2];
    TwipsRect colons[2];
    // Command1 .. Command7.
    TwipsRect buttons[7];
    TwipsRect statusBar;
    double digitPoints;
    double colonPoints;
    double captionPoints;
    double buttonPoints;
    int spinnerWidth;       // twips
    int spinnerExtraHeight; // twips added to the field height
    bool startIsDefault;
};

inline const MainLayout kSmallLayout{
    .formName = "Form1",
    .clientWidth = 3465,
    .clientHeight = 2010,
    .captionNames = {"Label4", "Label5", "Label6"},
    .captionTexts = {"Hours", "Minutes", "Seconds"},
    .captions = {{120, 60, 750, 195}, {1260, 60, 840, 195}, {2460, 60, 975, 195}},
    .fields = {{90, 270, 720, 615}, {1260, 270, 720, 615}, {2430, 270, 720, 615}},
    .colonNames = {"Label7", "Label8"},
    .colons = {{1080, 270, 150, 555}, {2250, 270, 165, 555}},
    .buttons = {{90, 960, 1065, 705},
                {1170, 1320, 735, 345},
                {1170, 960, 735, 345},
                {2670, 960, 735, 345},
                {1920, 1320, 735, 345},
                {2670, 1320, 735, 345},
                {1920, 960, 735, 345}},
    .statusBar = {0, 1755, 3465, 255},
    .digitPoints = 29.25,
    .colonPoints = 24,
    .captionPoints = 8,
    .buttonPoints = 8,
    .spinnerWidth = 255,
    .spinnerExtraHeight = 22,
    .startIsDefault = true,
};

inline const MainLayout kBigLayout{
    .formName = "Form1b",
    .clientWidth = 11010,
    .clientHeight = 4380,
    .captionNames = {"LabelHrs", "Label5", "Label6"},
    .captionTexts = {"Hours:", "Minutes:", "Seconds:"},
    .captions = {{90, 90, 1245, 315}, {3780, 90, 1245, 315}, {7440, 90, 1245, 315}},
    .fields = {{90, 420, 3210, 2325}, {3780, 420, 3210, 2325}, {7470, 420, 3210, 2325}},
    .colonNames = {"Label7", "Label9"},
    .colons = {{3450, 840, 330, 1605}, {7140, 840, 330, 1605}},
    .buttons = {{90, 2850, 5895, 1095},
                {6030, 3420, 1605, 525},
                {6030, 2850, 1605, 525},
                {9330, 2850, 1605, 525},
                {7680, 3420, 1605, 525},
                {9330, 3420, 1605, 525},
                {7680, 2850, 1605, 525}},
    .statusBar = {0, 4035, 11010, 345},
    .digitPoints = 140.25,
    .colonPoints = 60,
    .captionPoints = 13.5,
    .buttonPoints = 13.5,
    .spinnerWidth = 255,
    .spinnerExtraHeight = 2,
    .startIsDefault = false,
};

} // namespace zentimo
