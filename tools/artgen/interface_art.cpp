// The interface half of the asset sheet: garage, sky, menu backdrop, cockpit, title,
// icons, portraits and the font, each painted into a picture of its own and copied
// to its fixed place on the sheet.
#include "interface_art_canvas.h"

namespace artgen {

void drawInterfaceArt(Picture& sheet) {
    // Copies a picture into its w x h rectangle; a picture of another size is
    // clipped to the rectangle so that it can never spill into its neighbours.
    auto place = [&sheet](const Picture& src, int x0, int y0, int w, int h) {
        for (int y = 0; y < h && y < src.height; ++y)
            for (int x = 0; x < w && x < src.width; ++x) sheet.set(x0 + x, y0 + y, src.at(x, y));
    };
    if (sheet.width != AssetSheetWidth || sheet.height != AssetSheetHeight) sheet = Picture(AssetSheetWidth, AssetSheetHeight);

    Picture garage(640, 320);
    ui::drawGarageBackdrop(garage);
    place(garage, 0, 0, 640, 320);

    Picture sky(640, 240);
    drawSky(sky);
    place(sky, 0, 320, 640, 240);

    Picture menu(640, 400);
    ui::drawMenuBackdrop(menu);
    place(menu, 0, 560, 640, 400);

    Picture cockpit(640, 180);
    ui::drawCockpit(cockpit);
    place(cockpit, 0, 960, 640, 180);

    Picture title(500, 170);
    ui::drawTitle(title);
    place(title, 0, 1140, 500, 170);

    Picture hudIcon(8, 8);
    drawHudIcon(hudIcon);
    place(hudIcon, 502, 1142, 8, 8);

    Picture portraits(128, 256);
    drawPortraits(portraits);
    place(portraits, 512, 1140, 128, 256);

    Picture font(500, 50);
    drawFontStyles(font);
    place(font, 0, 1310, 500, 50);

    Picture pointer(16, 16);
    drawGarageIcon(pointer);
    place(pointer, 320, 1360, 16, 16);
}

}  // namespace artgen
