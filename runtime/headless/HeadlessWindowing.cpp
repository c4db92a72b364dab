#include "runtime/headless/HeadlessWindowing.h"
#include "runtime/AsciiCase.h"
#include "runtime/Forms.h"
#include "runtime/Platform.h"
#include "runtime/StdCtrls.h"
#include "runtime/WinConst.h"
#include "runtime/headless/HeadlessPeer.h"
#include "runtime/headless/HostFiles.h"
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <sstream>
#include <stdexcept>

namespace qb {

namespace {

// GetSystemMetrics indexes the headless screen answers by default.
constexpr int SmCxScreen = 0;
constexpr int SmCyScreen = 1;
constexpr int SmCxVScroll = 2;
constexpr int SmCyCaption = 4;
constexpr int SmCxBorder = 5;
constexpr int SmCyBorder = 6;
constexpr int SmCxFixedFrame = 7;
constexpr int SmCyFixedFrame = 8;
constexpr int SmCxIcon = 11;
constexpr int SmCyIcon = 12;
constexpr int SmCxSizeFrame = 32;
constexpr int SmCySizeFrame = 33;
constexpr int SmCxEdge = 45;
constexpr int SmCyEdge = 46;
constexpr int SmCxSmIcon = 49;
constexpr int SmCySmIcon = 50;

int Scale(int value, int ppi) {
    return static_cast<int>((static_cast<long long>(value) * ppi + 48) / 96);
}

std::string Hex8(uint32_t value) {
    char text[9];
    std::snprintf(text, sizeof text, "%08X", value);
    return text;
}

uint32_t ReadLe(const std::string& data, size_t at, size_t bytes) {
    uint32_t value = 0;
    for (size_t i = 0; i < bytes; ++i)
        value |= static_cast<uint32_t>(static_cast<unsigned char>(data[at + i])) << (8 * i);
    return value;
}

// Width and height from a BMP file's header; false when it is no bitmap we can read.
bool BmpSize(const std::string& data, int& width, int& height) {
    if (data.size() < 26 || data[0] != 'B' || data[1] != 'M')
        return false;
    const uint32_t headerSize = ReadLe(data, 14, 4);
    if (headerSize == 12) { // BITMAPCOREHEADER
        width = static_cast<int>(ReadLe(data, 18, 2));
        height = static_cast<int>(ReadLe(data, 20, 2));
    } else if (headerSize >= 40 && data.size() >= 26) {
        width = static_cast<int32_t>(ReadLe(data, 18, 4));
        height = static_cast<int32_t>(ReadLe(data, 22, 4));
        if (height < 0 && height != INT32_MIN)
            height = -height; // top-down rows
    } else {
        return false;
    }
    return width > 0 && height > 0;
}

// The file of a "NAME BITMAP "file"" line in any .rc file of the folder.
std::optional<std::string> BitmapFile(const std::string& dir, const std::string& name) {
    std::error_code error;
    std::vector<std::filesystem::path> scripts;
    for (const auto& entry : std::filesystem::directory_iterator(dir, error))
        if (entry.path().extension() == ".rc")
            scripts.push_back(entry.path());
    std::sort(scripts.begin(), scripts.end()); // the same file wins on every machine
    for (const auto& script : scripts) {
        std::istringstream lines(ReadHostFile(script.string()).value_or(""));
        for (std::string line; std::getline(lines, line);) {
            std::istringstream words(line);
            std::string id, type;
            if (!(words >> id >> type) || !SameTextAscii(type, "BITMAP") ||
                !SameTextAscii(id, name))
                continue;
            const size_t open = line.find('"');
            const size_t close = line.find('"', open + 1);
            if (open == std::string::npos || close == std::string::npos)
                continue;
            return dir + "/" + line.substr(open + 1, close - open - 1);
        }
    }
    return std::nullopt;
}

int DaysInMonth(int year, int month) {
    static constexpr int Days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && ((year % 4 == 0 && year % 100 != 0) || year % 400 == 0))
        return 29;
    return Days[month - 1];
}

// The next field of a short date format: "yyyy", "yy", "MM", "M", "dd", "d" or one literal.
std::string NextToken(const std::string& format, size_t at) {
    for (const char* token : {"yyyy", "yy", "MM", "M", "dd", "d"})
        if (format.compare(at, std::char_traits<char>::length(token), token) == 0)
            return token;
    return format.substr(at, 1);
}

// The window class the Windows backend makes for a kind of control.
const char* WindowClassOf(TControlKind kind) {
    switch (kind) {
    case TControlKind::Form:
        return "#32770";
    case TControlKind::Button:
    case TControlKind::CheckBox:
    case TControlKind::RadioButton:
    case TControlKind::Custom:
        return "Button";
    case TControlKind::Edit:
    case TControlKind::Memo:
        return "Edit";
    case TControlKind::ComboBox:
        return "ComboBox";
    case TControlKind::DatePicker:
        return "SysDateTimePick32";
    case TControlKind::ProgressBar:
        return "msctls_progress32";
    case TControlKind::StaticText:
        return "Static";
    case TControlKind::Graphic:
        break;
    }
    return "";
}

void AddWindows(const TWinControl& parent, std::vector<THeadlessWindowInfo>& out) {
    for (TWinControl* control : parent.WindowOrder()) {
        bool visible = true;
        for (const TControl* c = control; c; c = c->Parent())
            visible = visible && (c->Visible() || c->Kind() == TControlKind::Form);
        out.push_back({WindowClassOf(control->Kind()), control->WindowText(), control->Name(),
                       control->BoundsRect(), visible});
        AddWindows(*control, out);
    }
}

} // namespace

// ---- peers ----------------------------------------------------------------------------------

THeadlessPeer::THeadlessPeer(THeadlessWindowing& windowing, TWinControl& control, THandle handle)
    : Control(control), Windowing_(&windowing), Handle_(handle) {
    Measure.SetPixelsPerInch(PixelsPerInch(), PixelsPerInch());
    Measure.SetFont(control.Font());
    Text = control.Caption();
    ReadState();
    windowing.Peers.push_back(this);
}

THeadlessPeer::~THeadlessPeer() {
    if (Windowing_)
        Windowing_->PeerGone(*this);
}

void THeadlessPeer::ReadState() {
    switch (Control.Kind()) {
    case TControlKind::CheckBox:
        Checked = static_cast<TCheckBox&>(Control).Checked();
        break;
    case TControlKind::RadioButton:
        Checked = static_cast<TRadioButton&>(Control).Checked();
        break;
    case TControlKind::ComboBox: {
        auto& combo = static_cast<TComboBox&>(Control);
        ItemIndex = combo.StoredItemIndex();
        if (combo.Style() == TComboBoxStyle::csDropDownList)
            Text = ItemIndex >= 0 && ItemIndex < combo.Items.Count() ? combo.Items[ItemIndex]
                                                                     : std::string();
        break;
    }
    case TControlKind::DatePicker:
        Date = static_cast<TDateTimePicker&>(Control).StoredDate();
        break;
    default:
        break;
    }
}

void THeadlessPeer::Changed(TPeerChange change) {
    switch (change) {
    case TPeerChange::Text:
        Text = Control.Caption();
        if (Control.Kind() == TControlKind::ComboBox &&
            static_cast<TComboBox&>(Control).Style() == TComboBoxStyle::csDropDownList)
            SelectByText();
        break;
    case TPeerChange::Font:
        Measure.SetFont(Control.Font());
        break;
    case TPeerChange::Dpi:
        Measure.SetPixelsPerInch(PixelsPerInch(), PixelsPerInch());
        break;
    case TPeerChange::State:
        ReadState();
        break;
    case TPeerChange::Visible:
    case TPeerChange::Enabled:
        // A window that can no longer take the keyboard loses it.
        if (Focused() && !(Control.Visible() && Control.Enabled()) &&
            Control.Kind() != TControlKind::Form)
            if (Windowing_)
                Windowing_->Focus(nullptr);
        break;
    default:
        break;
    }
    Dirty = true;
}

// A drop-down list takes a text only as the item that has it (the system's CB_SELECTSTRING,
// but whole and without regard to case).
void THeadlessPeer::SelectByText() {
    auto& combo = static_cast<TComboBox&>(Control);
    ItemIndex = -1;
    for (int i = 0; i < combo.Items.Count(); ++i)
        if (SameTextAscii(combo.Items[i], Text)) {
            ItemIndex = i;
            Text = combo.Items[i];
            return;
        }
    Text.clear();
}

bool THeadlessPeer::ReadChecked() {
    if (Control.Kind() == TControlKind::RadioButton)
        return static_cast<TRadioButton&>(Control).Checked();
    return Checked;
}

int THeadlessPeer::PixelsPerInch() const {
    if (TForm* form = Control.ParentForm())
        return form->PixelsPerInch();
    return Windowing_ ? Windowing_->PixelsPerInch : 96;
}

TKeyboardCues THeadlessPeer::ReadKeyboardCues() {
    TForm* form = Control.ParentForm();
    auto* peer = form ? static_cast<THeadlessPeer*>(form->Peer()) : nullptr;
    return peer ? peer->Cues : kcFocus | kcAccelerators;
}

bool THeadlessPeer::ReadDate(TDate& date) {
    date = Date;
    return true;
}

void THeadlessPeer::SetFocus() {
    if (Windowing_)
        Windowing_->Focus(this);
}

bool THeadlessPeer::Focused() {
    return Windowing_ && Windowing_->Focused == this;
}

void THeadlessPeer::RunModal() {
    if (!Windowing_)
        throw std::logic_error("the screen of this window is gone");
    Windowing_->RunModal(*this);
}

int THeadlessPeer::Metric(int index) const {
    return Windowing_ ? Windowing_->SystemMetric(index) : 0;
}

TRect THeadlessPeer::WindowRect() {
    if (Control.Kind() != TControlKind::Form)
        return Control.BoundsRect();
    auto& form = static_cast<TForm&>(Control);
    int frameX = 0, frameY = 0, caption = 0;
    switch (form.BorderStyle()) {
    case TFormBorderStyle::bsDialog:
    case TFormBorderStyle::bsSingle:
        frameX = Metric(SmCxFixedFrame);
        frameY = Metric(SmCyFixedFrame);
        caption = Metric(SmCyCaption);
        break;
    case TFormBorderStyle::bsSizeable:
        frameX = Metric(SmCxSizeFrame);
        frameY = Metric(SmCySizeFrame);
        caption = Metric(SmCyCaption);
        break;
    case TFormBorderStyle::bsNone:
        break;
    }
    return {form.Left(), form.Top(), form.Left() + form.ClientWidth() + 2 * frameX,
            form.Top() + form.ClientHeight() + 2 * frameY + caption};
}

// ---- the windowing --------------------------------------------------------------------------

THeadlessWindowing::THeadlessWindowing() : ResourceDir(QB_RESOURCE_DIR) {}

THeadlessWindowing::~THeadlessWindowing() {
    // Controls that outlive the screen keep working as records.
    for (THeadlessPeer* peer : Peers)
        peer->Windowing_ = nullptr;
}

void THeadlessWindowing::Play(std::vector<TUserStep> steps) {
    for (TUserStep& step : steps)
        Script.push_back(std::move(step));
}

TWinControl* THeadlessWindowing::FocusedControl() const {
    return Focused ? &Focused->Control : nullptr;
}

std::string THeadlessWindowing::FocusedName() const {
    return Focused ? Focused->Control.Name() : std::string();
}

const TRecordingCanvas* THeadlessWindowing::LastPaint(const std::string& control) const {
    for (auto it = Paints.rbegin(); it != Paints.rend(); ++it)
        if (SameTextAscii(it->Control, control))
            return it->Canvas.get();
    return nullptr;
}

std::vector<THeadlessWindowInfo> THeadlessWindowing::ListWindows(const TWinControl& root) const {
    std::vector<THeadlessWindowInfo> windows{{WindowClassOf(root.Kind()), root.WindowText(),
                                              root.Name(), root.BoundsRect(), root.Visible()}};
    AddWindows(root, windows);
    return windows;
}

int THeadlessWindowing::PaintCount(const std::string& control) const {
    return static_cast<int>(std::count_if(Paints.begin(), Paints.end(), [&](const auto& paint) {
        return SameTextAscii(paint.Control, control);
    }));
}

std::unique_ptr<IControlPeer> THeadlessWindowing::CreatePeer(TWinControl& control) {
    return std::make_unique<THeadlessPeer>(*this, control, NextHandle++);
}

TRect THeadlessWindowing::WorkArea(const TRect& window) {
    std::vector<THeadlessMonitor> monitors = Monitors;
    if (monitors.empty())
        monitors.push_back(
            {{0, 0, Screen.Width, Screen.Height}, {0, 0, Screen.Width, Screen.Height}});
    // The monitor that holds the most of the window (the pointer's without one), else the
    // nearest, as MonitorFromRect and MonitorFromPoint choose.
    const TRect probe =
        window.Empty() ? TRect{Pointer.X, Pointer.Y, Pointer.X + 1, Pointer.Y + 1} : window;
    auto overlap = [&](const TRect& r) {
        const long long w = std::min(r.Right, probe.Right) - std::max(r.Left, probe.Left);
        const long long h = std::min(r.Bottom, probe.Bottom) - std::max(r.Top, probe.Top);
        return w > 0 && h > 0 ? w * h : 0;
    };
    auto distance = [&](const TRect& r) {
        const long long dx = std::max({r.Left - probe.Right, probe.Left - r.Right, 0});
        const long long dy = std::max({r.Top - probe.Bottom, probe.Top - r.Bottom, 0});
        return dx * dx + dy * dy;
    };
    const THeadlessMonitor* best = &monitors.front();
    for (const THeadlessMonitor& monitor : monitors)
        if (overlap(monitor.Bounds) > overlap(best->Bounds) ||
            (overlap(best->Bounds) == 0 && distance(monitor.Bounds) < distance(best->Bounds)))
            best = &monitor;
    return best->WorkArea;
}

TRect THeadlessWindowing::ActiveWindowRect() {
    if (ModalStack.empty() || !ModalStack.back()->Visible())
        return {};
    return ModalStack.back()->BoundsRect();
}

int THeadlessWindowing::SystemMetric(int index) {
    if (auto it = Metrics.find(index); it != Metrics.end())
        return it->second;
    switch (index) {
    case SmCxScreen:
        return Screen.Width;
    case SmCyScreen:
        return Screen.Height;
    case SmCxVScroll:
        return Scale(17, PixelsPerInch);
    case SmCyCaption:
        return Scale(23, PixelsPerInch);
    case SmCxBorder:
    case SmCyBorder:
        return 1;
    case SmCxFixedFrame:
    case SmCyFixedFrame:
        return 3;
    case SmCxSizeFrame:
    case SmCySizeFrame:
        return 4;
    case SmCxIcon:
    case SmCyIcon:
        return Scale(32, PixelsPerInch);
    case SmCxEdge:
    case SmCyEdge:
        return 2;
    case SmCxSmIcon:
    case SmCySmIcon:
        return Scale(16, PixelsPerInch);
    default:
        return 0;
    }
}

bool THeadlessWindowing::GetMessageFont(TFont& font, int pixelsPerInch) {
    (void)pixelsPerInch; // the font's size is in points at every resolution
    if (!MessageFontAvailable)
        return false;
    font = MessageFont;
    return true;
}

bool THeadlessWindowing::SetClipboardText(const std::string& text) {
    if (ClipboardHeld)
        return false;
    Clipboard = text;
    ClipboardUnicode = Platform().System ? Platform().System->ToUtf16(text) : std::u16string();
    ++ClipboardWrites;
    return true;
}

std::shared_ptr<TGraphic> THeadlessWindowing::LoadSystemIcon(int id, int size) {
    // IDI_APPLICATION .. IDI_SHIELD
    if (id < 32512 || id > 32518)
        return nullptr;
    if (size <= 0)
        size = SystemMetric(SmCxIcon);
    return std::make_shared<THeadlessGraphic>("icon:" + std::to_string(id), size, size);
}

std::shared_ptr<TGraphic> THeadlessWindowing::LoadBitmapResource(const std::string& name,
                                                                 TColor transparent) {
    const std::optional<std::string> file = BitmapFile(ResourceDir, name);
    if (!file)
        return nullptr;
    const std::optional<std::string> data = ReadHostFile(*file);
    int width = 0, height = 0;
    if (!data || !BmpSize(*data, width, height))
        return nullptr;
    return std::make_shared<THeadlessGraphic>("bitmap:" + UpperAscii(name), width, height,
                                              transparent);
}

std::shared_ptr<TGraphic> THeadlessWindowing::IconGraphic(THandle icon) {
    if (icon == 0)
        return nullptr;
    const int size = SystemMetric(SmCxIcon);
    return std::make_shared<THeadlessGraphic>("hicon:" + std::to_string(icon), size, size);
}

std::shared_ptr<TGraphic> THeadlessWindowing::SolidBitmap(int width, int height, TColor color) {
    return std::make_shared<THeadlessGraphic>("solid:" + Hex8(color), std::max(0, width),
                                              std::max(0, height));
}

std::string THeadlessWindowing::FormatShortDate(const TDate& date) {
    std::string out;
    for (size_t at = 0; at < ShortDateFormat.size();) {
        const std::string token = NextToken(ShortDateFormat, at);
        at += token.size();
        char field[16];
        if (token == "yyyy")
            std::snprintf(field, sizeof field, "%04d", date.Year);
        else if (token == "yy")
            std::snprintf(field, sizeof field, "%02d", ((date.Year % 100) + 100) % 100);
        else if (token == "MM")
            std::snprintf(field, sizeof field, "%02d", date.Month);
        else if (token == "M")
            std::snprintf(field, sizeof field, "%d", date.Month);
        else if (token == "dd")
            std::snprintf(field, sizeof field, "%02d", date.Day);
        else if (token == "d")
            std::snprintf(field, sizeof field, "%d", date.Day);
        else {
            out += token;
            continue;
        }
        out += field;
    }
    return out;
}

bool THeadlessWindowing::ParseShortDate(const std::string& text, TDate& date) {
    TDate parsed;
    size_t pos = 0;
    for (size_t at = 0; at < ShortDateFormat.size();) {
        const std::string token = NextToken(ShortDateFormat, at);
        at += token.size();
        const bool numeric = token[0] == 'y' || token[0] == 'M' || token[0] == 'd';
        if (!numeric) {
            if (text.compare(pos, token.size(), token) != 0)
                return false;
            pos += token.size();
            continue;
        }
        const size_t maxDigits = token == "yyyy" ? 4 : 2;
        int value = 0;
        size_t digits = 0;
        while (pos < text.size() && digits < maxDigits && text[pos] >= '0' && text[pos] <= '9') {
            value = value * 10 + (text[pos++] - '0');
            ++digits;
        }
        if (digits == 0 || (token.size() >= 2 && digits != token.size()))
            return false;
        if (token[0] == 'y')
            parsed.Year = token == "yy" ? 2000 + value : value;
        else if (token[0] == 'M')
            parsed.Month = value;
        else
            parsed.Day = value;
    }
    if (pos != text.size() || parsed.Year < 1 || parsed.Month < 1 || parsed.Month > 12 ||
        parsed.Day < 1 || parsed.Day > DaysInMonth(parsed.Year, parsed.Month))
        return false;
    date = parsed;
    return true;
}

void THeadlessWindowing::StartTimer(TTimer& timer) {
    if (std::find(Timers.begin(), Timers.end(), &timer) == Timers.end())
        Timers.push_back(&timer);
}

void THeadlessWindowing::StopTimer(TTimer& timer) {
    Timers.erase(std::remove(Timers.begin(), Timers.end(), &timer), Timers.end());
}

void THeadlessWindowing::PeerGone(THeadlessPeer& peer) {
    Peers.erase(std::remove(Peers.begin(), Peers.end(), &peer), Peers.end());
    if (Focused == &peer)
        Focused = nullptr;
    if (Hover == &peer.Control)
        Hover = nullptr;
    if (Capture == &peer.Control)
        Capture = nullptr;
}

} // namespace qb
