// Build-time tool: draws the programs' pictures as Windows bitmaps, so that the
// resources come from source and not from binary files.
//   make_pictures outdir
// Writes about.bmp, second.bmp, tick.bmp, side.bmp and first.ppm (the source of the
// JPEG picture, see make_first_jpeg.sh).
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "resources/pack/Pictures.h"

namespace {

struct Rgb {
  uint8_t r, g, b;
};

// A picture drawn in palette indexes or colours, written bottom-up as Windows wants.
struct Canvas {
  int w, h, bpp;
  std::vector<Rgb> palette;  // bpp 4 and 8
  std::vector<uint32_t> px;  // index or 0xRRGGBB
  Canvas(const PictureShape& s) : w(s.width), h(s.height), bpp(s.bitCount), px(w * h, 0) {}
  void Set(int x, int y, uint32_t v) {
    if (x >= 0 && y >= 0 && x < w && y < h) px[y * w + x] = v;
  }
  void Fill(int x0, int y0, int x1, int y1, uint32_t v) {
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) Set(x, y, v);
  }
  void Disc(int cx, int cy, int r, uint32_t v) {
    for (int y = cy - r; y <= cy + r; ++y)
      for (int x = cx - r; x <= cx + r; ++x)
        if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r) Set(x, y, v);
  }
  void Line(int x0, int y0, int x1, int y1, int thick, uint32_t v) {
    int steps = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
    for (int i = 0; i <= steps; ++i) {
      int x = x0 + (x1 - x0) * i / (steps ? steps : 1);
      int y = y0 + (y1 - y0) * i / (steps ? steps : 1);
      Fill(x - thick / 2, y - thick / 2, x - thick / 2 + thick, y - thick / 2 + thick, v);
    }
  }
};

void Put16(std::vector<uint8_t>& b, uint32_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& b, uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}

std::vector<uint8_t> Bitmap(const Canvas& c) {
  int colours = c.bpp <= 8 ? 1 << c.bpp : 0;
  int stride = ((c.w * c.bpp + 31) / 32) * 4;
  uint32_t offBits = 14 + 40 + 4 * colours;
  uint32_t image = static_cast<uint32_t>(stride * c.h);
  std::vector<uint8_t> b;
  b.push_back('B');
  b.push_back('M');
  Put32(b, offBits + image);
  Put32(b, 0);
  Put32(b, offBits);
  Put32(b, 40);
  Put32(b, static_cast<uint32_t>(c.w));
  Put32(b, static_cast<uint32_t>(c.h));
  Put16(b, 1);
  Put16(b, static_cast<uint32_t>(c.bpp));
  Put32(b, 0);  // BI_RGB
  Put32(b, image);
  Put32(b, 2835);
  Put32(b, 2835);
  Put32(b, 0);
  Put32(b, 0);
  for (int i = 0; i < colours; ++i) {
    Rgb p = i < static_cast<int>(c.palette.size()) ? c.palette[i] : Rgb{0, 0, 0};
    b.push_back(p.b);
    b.push_back(p.g);
    b.push_back(p.r);
    b.push_back(0);
  }
  for (int y = c.h - 1; y >= 0; --y) {
    std::vector<uint8_t> row(stride, 0);
    for (int x = 0; x < c.w; ++x) {
      uint32_t v = c.px[y * c.w + x];
      switch (c.bpp) {
        case 4: row[x / 2] |= static_cast<uint8_t>((v & 15) << (x % 2 ? 0 : 4)); break;
        case 8: row[x] = static_cast<uint8_t>(v); break;
        default:
          row[3 * x] = static_cast<uint8_t>(v);
          row[3 * x + 1] = static_cast<uint8_t>(v >> 8);
          row[3 * x + 2] = static_cast<uint8_t>(v >> 16);
      }
    }
    b.insert(b.end(), row.begin(), row.end());
  }
  return b;
}

std::vector<Rgb> Ramp(int n, Rgb from, Rgb to) {
  std::vector<Rgb> p;
  for (int i = 0; i < n; ++i)
    p.push_back({static_cast<uint8_t>(from.r + (to.r - from.r) * i / (n - 1)),
                 static_cast<uint8_t>(from.g + (to.g - from.g) * i / (n - 1)),
                 static_cast<uint8_t>(from.b + (to.b - from.b) * i / (n - 1))});
  return p;
}

// About box: a colour picture, shaded sky over hills, with a sun.
Canvas About() {
  Canvas c(kAboutPicture);
  for (int y = 0; y < c.h; ++y)
    for (int x = 0; x < c.w; ++x) {
      uint32_t r = 40 + y * 120 / c.h, g = 80 + y * 100 / c.h, b = 200 - y * 60 / c.h;
      double hill = c.h * 0.65 + 8 * std::sin(x / 13.0) + 5 * std::sin(x / 5.0 + 1);
      if (y > hill) r = 30 + (x * 7 % 20), g = 120 + (y % 9) * 4, b = 40;
      c.Set(x, y, (r << 16) | (g << 8) | b);
    }
  c.Disc(c.w - 30, 20, 11, 0xFFD830);
  return c;
}

// Main window's wide bitmap: a blue band with boxes, flat colours as RLE likes.
Canvas Second() {
  Canvas c(kSecondPicture);
  c.palette = Ramp(64, {0, 0, 96}, {120, 160, 255});
  c.palette.resize(256, {255, 255, 255});
  c.palette[200] = {255, 255, 255};
  c.palette[201] = {0, 0, 0};
  c.palette[202] = {255, 200, 0};
  for (int y = 0; y < c.h; ++y) c.Fill(0, y, c.w, y + 1, static_cast<uint32_t>(y * 64 / c.h));
  for (int i = 0; i < 6; ++i) {
    int x = 24 + i * 76;
    c.Fill(x, 60, x + 56, 180, 200);
    c.Fill(x + 6, 66, x + 50, 90, 202);
    c.Line(x + 8, 110, x + 48, 110, 3, 201);
    c.Line(x + 8, 130, x + 40, 130, 3, 201);
    c.Line(x + 8, 150, x + 44, 150, 3, 201);
  }
  return c;
}

// Tick: a green check mark on a background colour that is drawn transparent.
Canvas Tick() {
  Canvas c(kTickPicture);
  c.palette.assign(256, {0, 0, 0});
  c.palette[0] = {255, 0, 255};  // transparent (bottom-left pixel)
  c.palette[1] = {0, 160, 0};
  c.palette[2] = {0, 96, 0};
  c.Line(6, 17, 14, 26, 5, 2);
  c.Line(14, 26, 30, 6, 5, 2);
  c.Line(6, 16, 14, 25, 3, 1);
  c.Line(14, 25, 30, 5, 3, 1);
  return c;
}

// Wizard side picture: a 16-colour gradient with a disc and a stripe.
Canvas Side() {
  Canvas c(kSidePicture);
  c.palette = Ramp(12, {0, 32, 96}, {64, 128, 224});
  c.palette.push_back({255, 255, 255});
  c.palette.push_back({255, 224, 64});
  c.palette.push_back({0, 0, 0});
  c.palette.push_back({128, 128, 128});
  for (int y = 0; y < c.h; ++y) c.Fill(0, y, c.w, y + 1, static_cast<uint32_t>(y * 12 / c.h));
  c.Disc(60, 70, 34, 13);
  c.Disc(60, 70, 26, 12);
  c.Fill(10, 200, 110, 206, 15);
  c.Fill(10, 214, 90, 220, 15);
  return c;
}

// Main window's photograph-like picture, kept as JPEG: smooth shading and detail.
std::vector<uint8_t> FirstPpm() {
  const PictureShape& s = kFirstPicture;
  std::string head = "P6\n" + std::to_string(s.width) + " " + std::to_string(s.height) + "\n255\n";
  std::vector<uint8_t> b(head.begin(), head.end());
  for (int y = 0; y < s.height; ++y)
    for (int x = 0; x < s.width; ++x) {
      double u = x / static_cast<double>(s.width), v = y / static_cast<double>(s.height);
      double ring = std::sin(std::hypot(x - s.width * 0.3, y - s.height * 0.4) / 6.0);
      b.push_back(static_cast<uint8_t>(60 + 120 * u + 40 * ring));
      b.push_back(static_cast<uint8_t>(90 + 100 * v + 30 * std::sin(x / 9.0)));
      b.push_back(static_cast<uint8_t>(180 - 100 * u * v + 30 * ring));
    }
  return b;
}

bool Write(const std::string& path, const std::vector<uint8_t>& b) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
  if (!f) std::fprintf(stderr, "make_pictures: cannot write %s\n", path.c_str());
  return static_cast<bool>(f);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_pictures outdir\n");
    return 2;
  }
  std::string dir = argv[1];
  bool ok = Write(dir + "/about.bmp", Bitmap(About())) && Write(dir + "/second.bmp", Bitmap(Second())) &&
            Write(dir + "/tick.bmp", Bitmap(Tick())) && Write(dir + "/side.bmp", Bitmap(Side())) &&
            Write(dir + "/first.ppm", FirstPpm());
  return ok ? 0 : 1;
}
