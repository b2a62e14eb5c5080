// RenderFlightSvg. Part of the simulated host (simhost.exe and the native
// tests).
//
// Divisions: the canvas (coordinates and SVG elements), the panels with their
// series and limits, the failure markers, the whole picture.
#include "flight_svg.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>
#include <vector>

namespace simhost {
namespace {

constexpr double Width = 1000;       // px, the whole picture
constexpr double PlotLeft = 72;      // px, left edge of every panel
constexpr double PlotRight = 858;    // px, right edge; limit labels go beyond
constexpr double TitleHeight = 34;   // px above the marker labels
constexpr double LabelRow = 15;      // px per row of marker labels
constexpr double PanelGap = 30;      // px between panels
constexpr double CharWidth = 6.2;    // px, estimated width of one label character
constexpr int MaxLabelRows = 8;

const char* const ChtColour = "#c0392b";
const char* const RadColour = "#2471a3";
const char* const OilColour = "#d68910";
const char* const EngineDashes[4] = {"", "9 3", "3 3", "10 3 2 3"};

std::string Num(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", value);
  return text;
}

// Shortest plain rendering of a limit or tick value: 9, -4.5, 0.25.
std::string Short(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

// --- Canvas ---------------------------------------------------------------

struct Panel {
  std::string Title;
  double Top = 0, Height = 0;  // px
  double Min = 0, Max = 1;     // value range shown
};

class Canvas {
 public:
  explicit Canvas(uint32_t endMs) : endMs_(std::max<uint32_t>(endMs, 1)) {}

  double X(double ms) const { return PlotLeft + (PlotRight - PlotLeft) * ms / endMs_; }
  static double Y(const Panel& panel, double value) {
    return panel.Top + panel.Height * (panel.Max - value) / (panel.Max - panel.Min);
  }

  void Line(double x1, double y1, double x2, double y2, const std::string& style) {
    out_ += "<line x1=\"" + Num(x1) + "\" y1=\"" + Num(y1) + "\" x2=\"" + Num(x2) + "\" y2=\"" +
            Num(y2) + "\" " + style + "/>\n";
  }
  void Rect(double x, double y, double w, double h, const std::string& style) {
    out_ += "<rect x=\"" + Num(x) + "\" y=\"" + Num(y) + "\" width=\"" + Num(w) +
            "\" height=\"" + Num(h) + "\" " + style + "/>\n";
  }
  void Text(double x, double y, const std::string& text, const std::string& style) {
    out_ += "<text x=\"" + Num(x) + "\" y=\"" + Num(y) + "\" " + style + ">" + XmlEscape(text) +
            "</text>\n";
  }
  void Polyline(const std::vector<std::pair<double, double>>& points, const std::string& style) {
    out_ += "<polyline fill=\"none\" " + style + " points=\"";
    for (const auto& point : points) out_ += Num(point.first) + "," + Num(point.second) + " ";
    out_ += "\"/>\n";
  }
  void Raw(const std::string& text) { out_ += text; }
  const std::string& Out() const { return out_; }
  uint32_t EndMs() const { return endMs_; }

 private:
  uint32_t endMs_;
  std::string out_;
};

// A tick step of 1, 2 or 5 times a power of ten giving about `ticks` ticks.
double NiceStep(double range, int ticks) {
  const double raw = range / ticks;
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  for (double factor : {1.0, 2.0, 5.0})
    if (raw <= factor * power) return factor * power;
  return 10.0 * power;
}

// --- Panels ---------------------------------------------------------------

struct Series {
  Channel Source;
  const char* Colour;
  const char* Dashes;
};

struct Limit {
  double Value;
  std::string Label;
  const char* Colour;
};

// The value range of a panel: every row of its series and every limit, with
// `floor` always in view and a little room above and below.
void FitRange(Panel& panel, const Flight& flight, const std::vector<Series>& series,
              const std::vector<Limit>& limits, double floor) {
  double low = floor, high = floor;
  for (const Series& s : series) {
    for (const FlightRow& row : flight.Rows) {
      low = std::min(low, row.Values[s.Source]);
      high = std::max(high, row.Values[s.Source]);
    }
  }
  for (const Limit& limit : limits) {
    low = std::min(low, limit.Value);
    high = std::max(high, limit.Value);
  }
  if (!(high > low)) high = low + 1;
  const double margin = (high - low) * 0.08;
  panel.Min = low < floor ? low - margin : low;
  panel.Max = high + margin;
}

void DrawFrame(Canvas& canvas, const Panel& panel) {
  canvas.Rect(PlotLeft, panel.Top, PlotRight - PlotLeft, panel.Height,
              "fill=\"#ffffff\" stroke=\"#555\" stroke-width=\"1\"");
  const double step = NiceStep(panel.Max - panel.Min, 5);
  for (double v = std::ceil(panel.Min / step) * step; v <= panel.Max; v += step) {
    const double y = Canvas::Y(panel, v);
    canvas.Line(PlotLeft, y, PlotRight, y, "stroke=\"#e5e5e5\" stroke-width=\"1\"");
    canvas.Text(PlotLeft - 6, y + 4, Short(std::fabs(v) < step / 1e6 ? 0.0 : v),
                "font-size=\"11\" text-anchor=\"end\" fill=\"#333\"");
  }
}

// The panel's title, turned along its left edge.
void DrawTitle(Canvas& canvas, const Panel& panel) {
  const double x = 18, y = panel.Top + panel.Height / 2;
  canvas.Text(x, y, panel.Title,
              "font-size=\"12\" font-weight=\"bold\" fill=\"#222\" text-anchor=\"middle\" "
              "transform=\"rotate(-90 " + Num(x) + " " + Num(y) + ")\"");
}

void DrawTimeGrid(Canvas& canvas, const std::vector<Panel>& panels) {
  const double seconds = canvas.EndMs() / 1000.0;
  double step = 1;
  for (double candidate : {1.0, 2.0, 5.0, 10.0, 15.0, 30.0, 60.0, 120.0, 300.0, 600.0, 900.0,
                           1800.0, 3600.0, 7200.0}) {
    step = candidate;
    if (seconds / candidate <= 12) break;
  }
  const Panel& last = panels.back();
  for (double t = 0; t <= seconds + 1e-9; t += step) {
    const double x = canvas.X(t * 1000);
    for (const Panel& panel : panels)
      canvas.Line(x, panel.Top, x, panel.Top + panel.Height, "stroke=\"#eeeeee\" stroke-width=\"1\"");
    canvas.Text(x, last.Top + last.Height + 15, FlightTime(static_cast<uint32_t>(t * 1000)).substr(0, 5),
                "font-size=\"11\" text-anchor=\"middle\" fill=\"#333\"");
  }
  canvas.Text((PlotLeft + PlotRight) / 2, last.Top + last.Height + 30, "flight time (mm:ss)",
              "font-size=\"11\" text-anchor=\"middle\" fill=\"#333\"");
}

void DrawSeries(Canvas& canvas, const Panel& panel, const Flight& flight, const Series& series) {
  std::vector<std::pair<double, double>> points;
  for (const FlightRow& row : flight.Rows)
    points.emplace_back(canvas.X(row.Time * 1000), Canvas::Y(panel, row.Values[series.Source]));
  if (flight.Duration() * 1000 < canvas.EndMs() || points.size() == 1)
    points.emplace_back(canvas.X(canvas.EndMs()), points.back().second);
  std::string style = std::string("stroke=\"") + series.Colour + "\" stroke-width=\"1.8\"";
  if (*series.Dashes) style += std::string(" stroke-dasharray=\"") + series.Dashes + "\"";
  canvas.Polyline(points, style);
}

// Dashed limit lines with their labels right of the panel, labels pushed
// apart where two limits lie close together.
void DrawLimits(Canvas& canvas, const Panel& panel, std::vector<Limit> limits) {
  std::sort(limits.begin(), limits.end(),
            [](const Limit& a, const Limit& b) { return a.Value > b.Value; });
  double lastLabelY = -1e9;
  for (const Limit& limit : limits) {
    const double y = Canvas::Y(panel, limit.Value);
    canvas.Line(PlotLeft, y, PlotRight, y,
                std::string("stroke=\"") + limit.Colour +
                    "\" stroke-width=\"1.2\" stroke-dasharray=\"6 4\"");
    const double labelY = std::max(y + 4, lastLabelY + 12);
    canvas.Text(PlotRight + 6, labelY, limit.Label,
                std::string("font-size=\"11\" fill=\"") + limit.Colour + "\"");
    lastLabelY = labelY;
  }
}

// Stretches where the flight's suspend column is 1, in milliseconds.
std::vector<std::pair<double, double>> SuspendedSpans(const Flight& flight, uint32_t endMs) {
  std::vector<std::pair<double, double>> spans;
  if (!flight.Has(SuspendChannel)) return spans;
  for (size_t i = 0; i < flight.Rows.size(); ++i) {
    if (flight.Rows[i].Values[SuspendChannel] == 0) continue;
    const double from = flight.Rows[i].Time * 1000;
    const double to = i + 1 < flight.Rows.size() ? flight.Rows[i + 1].Time * 1000 : endMs;
    if (!spans.empty() && spans.back().second == from) spans.back().second = to;
    else spans.emplace_back(from, to);
  }
  return spans;
}

// --- Failure markers --------------------------------------------------------

const char* MarkColour(const std::string& label) {
  if (label.find("engine") != std::string::npos) return "#ca6f1e";
  if (label.find("jammed") != std::string::npos || label.find("broken") != std::string::npos)
    return "#7d3c98";
  return "#c0392b";
}

// Label rows for the marks, left to right, so that no two labels overlap.
std::vector<int> LabelRows(const Canvas& canvas, const std::vector<FailureMark>& marks,
                           int* rowCount) {
  std::vector<double> rowEnds;
  std::vector<int> rows;
  for (const FailureMark& mark : marks) {
    const double x = canvas.X(mark.Ms);
    int row = 0;
    while (row < static_cast<int>(rowEnds.size()) && rowEnds[row] > x) ++row;
    if (row >= MaxLabelRows) row = MaxLabelRows - 1;
    if (row >= static_cast<int>(rowEnds.size())) rowEnds.resize(row + 1, 0);
    rowEnds[row] = x + CharWidth * mark.Label.size() + 10;
    rows.push_back(row);
  }
  *rowCount = static_cast<int>(rowEnds.size());
  return rows;
}

}  // namespace

std::string XmlEscape(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string RenderFlightSvg(const Flight& flight, const AircraftLimits& limits,
                            const Timeline& timeline, uint32_t endMs, const std::string& title) {
  Canvas canvas(endMs);
  std::vector<FailureMark> marks = timeline.Marks();
  std::stable_sort(marks.begin(), marks.end(),
                   [](const FailureMark& a, const FailureMark& b) { return a.Ms < b.Ms; });
  int labelRows = 0;
  const std::vector<int> rows = LabelRows(canvas, marks, &labelRows);

  // Panels and what goes into each.
  std::vector<Series> gSeries, speedSeries, tempSeries;
  if (flight.Has(LoadFactor)) gSeries.push_back({LoadFactor, "#1a5276", ""});
  if (flight.Has(Speed)) speedSeries.push_back({Speed, "#1a5276", ""});
  for (int n = 0; n < 4; ++n) {
    const auto channel = [n](Channel first) { return static_cast<Channel>(first + n); };
    if (flight.Has(channel(Cht1))) tempSeries.push_back({channel(Cht1), ChtColour, EngineDashes[n]});
    if (flight.Has(channel(Rad1))) tempSeries.push_back({channel(Rad1), RadColour, EngineDashes[n]});
    if (flight.Has(channel(Oil1))) tempSeries.push_back({channel(Oil1), OilColour, EngineDashes[n]});
  }
  std::vector<Limit> gLimits, speedLimits, tempLimits;
  if (limits.Found) {
    gLimits = {{limits.Gmax, "Gmax " + Short(limits.Gmax), "#c0392b"},
               {limits.Gmin, "Gmin " + Short(limits.Gmin), "#c0392b"}};
    speedLimits = {{limits.Vmax, "Vmax " + Short(limits.Vmax), "#c0392b"}};
    tempLimits = {{limits.CylinderHeadTemp, "head " + Short(limits.CylinderHeadTemp), ChtColour},
                  {limits.RadiatorOutletTemp, "radiator " + Short(limits.RadiatorOutletTemp), RadColour},
                  {limits.OilTemp, "oil " + Short(limits.OilTemp), OilColour}};
  }

  std::vector<Panel> panels(3);
  panels[0].Title = "load factor (g)";
  panels[1].Title = "airspeed";
  panels[2].Title = "engine temperatures (F)";
  const double heights[3] = {150, 150, 190};
  double top = TitleHeight + LabelRow * labelRows + 10;
  for (int i = 0; i < 3; ++i) {
    panels[i].Top = top;
    panels[i].Height = heights[i];
    top += heights[i] + PanelGap;
  }
  FitRange(panels[0], flight, gSeries, gLimits, 0.0);
  FitRange(panels[1], flight, speedSeries, speedLimits, 0.0);
  FitRange(panels[2], flight, tempSeries, tempLimits, 0.0);
  const double height = top + 50;

  canvas.Raw("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
  canvas.Raw("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + Num(Width) + "\" height=\"" +
             Num(height) + "\" viewBox=\"0 0 " + Num(Width) + " " + Num(height) +
             "\" font-family=\"sans-serif\">\n");
  canvas.Raw("<title>" + XmlEscape(title) + "</title>\n");
  canvas.Rect(0, 0, Width, height, "fill=\"#fafafa\"");
  canvas.Text(PlotLeft, 22, title, "font-size=\"15\" font-weight=\"bold\" fill=\"#111\"");

  for (const Panel& panel : panels) DrawFrame(canvas, panel);
  DrawTimeGrid(canvas, panels);
  for (const auto& span : SuspendedSpans(flight, endMs)) {
    for (const Panel& panel : panels)
      canvas.Rect(canvas.X(span.first), panel.Top, canvas.X(span.second) - canvas.X(span.first),
                  panel.Height, "fill=\"#7f8c8d\" fill-opacity=\"0.25\"");
    canvas.Text(canvas.X(span.first) + 3, panels[0].Top + 34, "suspended",
                "font-size=\"10\" fill=\"#555\"");
  }
  for (const CutSpan& cut : timeline.Cuts())
    canvas.Rect(canvas.X(cut.FromMs), panels[2].Top, canvas.X(cut.ToMs) - canvas.X(cut.FromMs),
                panels[2].Height, "fill=\"#ca6f1e\" fill-opacity=\"0.15\"");

  const std::vector<Series>* series[3] = {&gSeries, &speedSeries, &tempSeries};
  const std::vector<Limit>* panelLimits[3] = {&gLimits, &speedLimits, &tempLimits};
  const char* missing[3] = {"no g column in the flight: the host reports 1 g",
                            "no speed column in the flight: the host reports 0",
                            "no temperature columns in the flight"};
  for (int i = 0; i < 3; ++i) {
    DrawLimits(canvas, panels[i], *panelLimits[i]);
    for (const Series& s : *series[i]) DrawSeries(canvas, panels[i], flight, s);
    if (series[i]->empty())
      canvas.Text((PlotLeft + PlotRight) / 2, panels[i].Top + panels[i].Height / 2, missing[i],
                  "font-size=\"12\" text-anchor=\"middle\" fill=\"#888\"");
  }
  for (const Panel& panel : panels) DrawTitle(canvas, panel);
  if (!limits.Found)
    canvas.Text(PlotRight, 22, "no Kestovan.cfg: failure models off",
                "font-size=\"12\" text-anchor=\"end\" fill=\"#888\"");

  const double markBottom = panels[2].Top + panels[2].Height;
  for (size_t i = 0; i < marks.size(); ++i) {
    const double x = canvas.X(marks[i].Ms);
    const double labelY = TitleHeight + LabelRow * (rows[i] + 1) - 3;
    const std::string colour = MarkColour(marks[i].Label);
    canvas.Line(x, labelY + 3, x, markBottom,
                "stroke=\"" + colour + "\" stroke-width=\"1\" stroke-opacity=\"0.7\"");
    canvas.Raw("<circle cx=\"" + Num(x) + "\" cy=\"" + Num(labelY - 4) + "\" r=\"2.5\" fill=\"" +
               colour + "\"/>\n");
    canvas.Text(x + 4, labelY, marks[i].Label, "font-size=\"11\" fill=\"" + colour + "\"");
  }

  // Legend under the time axis.
  const double legendY = height - 8;
  double x = PlotLeft;
  const auto swatch = [&](const char* colour, const char* dashes, const std::string& text) {
    std::string style = std::string("stroke=\"") + colour + "\" stroke-width=\"2\"";
    if (*dashes) style += std::string(" stroke-dasharray=\"") + dashes + "\"";
    canvas.Line(x, legendY - 4, x + 22, legendY - 4, style);
    canvas.Text(x + 26, legendY, text, "font-size=\"11\" fill=\"#333\"");
    x += 34 + CharWidth * text.size();
  };
  swatch(ChtColour, "", "cylinder head");
  swatch(RadColour, "", "radiator outlet");
  swatch(OilColour, "", "oil");
  for (int n = 1; n < 4; ++n) {
    const auto has = [&](Channel first) { return flight.Has(static_cast<Channel>(first + n)); };
    if (has(Cht1) || has(Rad1) || has(Oil1))
      swatch("#555", EngineDashes[n], "engine " + std::to_string(n + 1));
  }
  swatch("#c0392b", "6 4", "limit");
  canvas.Rect(x, legendY - 10, 22, 10, "fill=\"#ca6f1e\" fill-opacity=\"0.3\"");
  canvas.Text(x + 26, legendY, "engine cut", "font-size=\"11\" fill=\"#333\"");
  canvas.Raw("</svg>\n");
  return canvas.Out();
}

}  // namespace simhost
