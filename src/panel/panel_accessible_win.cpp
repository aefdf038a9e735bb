#include "panel/panel_accessible_win.h"

#include <vector>

#include "panel/panel_win.h"

namespace {

// A clone of the pane's enumeration: its own object, over the ids of the page when it was made.
class ChildEnumerator final : public IEnumVARIANT {
public:
    ChildEnumerator(std::vector<long> ids, size_t next) : ids_(std::move(ids)), next_(next) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object)
            return E_POINTER;
        if (iid == __uuidof(IUnknown) || iid == __uuidof(IEnumVARIANT)) {
            *object = static_cast<IEnumVARIANT*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0)
            delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE Next(ULONG count, VARIANT* out, ULONG* fetched) override {
        if (!out || (count > 1 && !fetched))
            return E_INVALIDARG;
        ULONG given = 0;
        for (; given < count && next_ < ids_.size(); ++given, ++next_) {
            VariantInit(&out[given]);
            out[given].vt = VT_I4;
            out[given].lVal = ids_[next_];
        }
        if (fetched)
            *fetched = given;
        return given == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
        const size_t left = ids_.size() - next_;
        next_ += count < left ? count : left;
        return count <= left ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override {
        next_ = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** copy) override {
        if (!copy)
            return E_POINTER;
        *copy = new ChildEnumerator(ids_, next_);
        return S_OK;
    }

private:
    ~ChildEnumerator() = default;  // through Release only
    std::vector<long> ids_;
    size_t next_;
    std::atomic<ULONG> references_{1};
};

constexpr wchar_t kPaneName[] = L"Tidewell";

HRESULT Text(const std::wstring& text, BSTR* out) {
    if (!out)
        return E_INVALIDARG;
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

// A property the panel's elements do not have.
HRESULT NotOffered(BSTR* text) {
    if (text)
        *text = nullptr;
    return DISP_E_MEMBERNOTFOUND;
}

VARIANT Integer(long value) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

long RoleOf(TargetKind kind) {
    switch (kind) {
        case TargetKind::kSwitch:
            return ROLE_SYSTEM_CHECKBUTTON;
        case TargetKind::kChoice:
            return ROLE_SYSTEM_RADIOBUTTON;
        case TargetKind::kButton:
            break;
    }
    return ROLE_SYSTEM_PUSHBUTTON;
}

}  // namespace

HRESULT PanelAccessible::QueryInterface(REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) || iid == __uuidof(IAccessible)) {
        *object = static_cast<IAccessible*>(this);
        AddRef();
        return S_OK;
    }
    if (iid == __uuidof(IEnumVARIANT)) {
        *object = static_cast<IEnumVARIANT*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG PanelAccessible::AddRef() {
    return ++references_;
}

ULONG PanelAccessible::Release() {
    const ULONG left = --references_;
    if (left == 0)
        delete this;
    return left;
}

HRESULT PanelAccessible::GetTypeInfoCount(UINT* count) {
    if (!count)
        return E_INVALIDARG;
    *count = 0;
    return S_OK;
}
HRESULT PanelAccessible::GetTypeInfo(UINT, LCID, ITypeInfo**) {
    return E_NOTIMPL;
}
HRESULT PanelAccessible::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return E_NOTIMPL;
}
HRESULT PanelAccessible::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                UINT*) {
    return E_NOTIMPL;
}

HRESULT PanelAccessible::Resolve(const VARIANT& child, const PanelHitTarget*& target) const {
    target = nullptr;
    if (!panel_)
        return CO_E_OBJNOTCONNECTED;
    if (child.vt != VT_I4)
        return E_INVALIDARG;
    if (child.lVal == CHILDID_SELF)
        return S_OK;
    target = TargetOfChildId(panel_->layout(), child.lVal);
    return target ? S_OK : E_INVALIDARG;
}

HRESULT PanelAccessible::get_accParent(IDispatch** parent) {
    if (!parent)
        return E_INVALIDARG;
    *parent = nullptr;
    if (!panel_)
        return CO_E_OBJNOTCONNECTED;
    return CreateStdAccessibleObject(panel_->window(), OBJID_WINDOW, __uuidof(IDispatch),
                                     reinterpret_cast<void**>(parent));
}

HRESULT PanelAccessible::get_accChildCount(long* count) {
    if (!count)
        return E_INVALIDARG;
    if (!panel_)
        return CO_E_OBJNOTCONNECTED;
    *count = static_cast<long>(panel_->layout().targets.size());
    return S_OK;
}

HRESULT PanelAccessible::get_accChild(VARIANT child, IDispatch** object) {
    if (!object)
        return E_INVALIDARG;
    *object = nullptr;
    const PanelHitTarget* target = nullptr;
    if (const HRESULT found = Resolve(child, target); found != S_OK)
        return found;
    return S_FALSE;  // the targets are simple elements of the pane
}

HRESULT PanelAccessible::get_accName(VARIANT child, BSTR* name) {
    const PanelHitTarget* target = nullptr;
    if (const HRESULT found = Resolve(child, target); found != S_OK)
        return found;
    return Text(target ? target->name : kPaneName, name);
}

HRESULT PanelAccessible::get_accValue(VARIANT, BSTR* value) {
    return NotOffered(value);
}

HRESULT PanelAccessible::get_accDescription(VARIANT, BSTR* text) {
    return NotOffered(text);
}

HRESULT PanelAccessible::get_accRole(VARIANT child, VARIANT* role) {
    if (!role)
        return E_INVALIDARG;
    VariantInit(role);
    const PanelHitTarget* target = nullptr;
    if (const HRESULT found = Resolve(child, target); found != S_OK)
        return found;
    *role = Integer(target ? RoleOf(target->kind) : ROLE_SYSTEM_PANE);
    return S_OK;
}

HRESULT PanelAccessible::get_accState(VARIANT child, VARIANT* state) {
    if (!state)
        return E_INVALIDARG;
    VariantInit(state);
    const PanelHitTarget* target = nullptr;
    if (const HRESULT found = Resolve(child, target); found != S_OK)
        return found;
    const bool hasFocus = GetFocus() == panel_->window();
    long flags = STATE_SYSTEM_FOCUSABLE;
    if (target) {
        if (hasFocus && panel_->focusedTarget() == target->id)
            flags |= STATE_SYSTEM_FOCUSED;
        if (target->checked)
            flags |= STATE_SYSTEM_CHECKED;
        if (!panel_->ShowsAny(target->rect))
            flags |= STATE_SYSTEM_OFFSCREEN;  // scrolled wholly out of view
    } else {
        if (hasFocus && panel_->focusedTarget() == kTargetNone)
            flags |= STATE_SYSTEM_FOCUSED;
        if (!panel_->Visible())
            flags |= STATE_SYSTEM_INVISIBLE;
    }
    *state = Integer(flags);
    return S_OK;
}

HRESULT PanelAccessible::get_accHelp(VARIANT, BSTR* text) {
    return NotOffered(text);
}

HRESULT PanelAccessible::get_accHelpTopic(BSTR* file, VARIANT, long* topic) {
    if (file)
        *file = nullptr;
    if (topic)
        *topic = 0;
    return DISP_E_MEMBERNOTFOUND;
}

HRESULT PanelAccessible::get_accKeyboardShortcut(VARIANT, BSTR* keys) {
    return NotOffered(keys);
}

HRESULT PanelAccessible::get_accFocus(VARIANT* child) {
    if (!child)
        return E_INVALIDARG;
    VariantInit(child);
    if (!panel_)
        return CO_E_OBJNOTCONNECTED;
    if (GetFocus() != panel_->window())
        return S_FALSE;  // VT_EMPTY: the focus is elsewhere
    const bool onTarget = FindTarget(panel_->layout(), panel_->focusedTarget()) != nullptr;
    *child = Integer(onTarget ? AccessibleChildId(panel_->focusedTarget()) : CHILDID_SELF);
    return S_OK;
}

HRESULT PanelAccessible::get_accSelection(VARIANT* children) {
    if (children)
        VariantInit(children);
    return DISP_E_MEMBERNOTFOUND;
}

HRESULT PanelAccessible::get_accDefaultAction(VARIANT child, BSTR* action) {
    const PanelHitTarget* target = nullptr;
    if (const HRESULT found = Resolve(child, target); found != S_OK)
        return found;
    if (!target) {
        if (action)
            *action = nullptr;
        return DISP_E_MEMBERNOTFOUND;
    }
    if (target->kind == TargetKind::kSwitch)
        return Text(target->checked ? L"Uncheck" : L"Check", action);
    return Text(target->kind == TargetKind::kChoice ? L"Select" : L"Press", action);
}

HRESULT PanelAccessible::accSelect(long flags, VARIANT child) {
    const PanelHitTarget* target = nullptr;
    if (const HRESULT found = Resolve(child, target); found != S_OK)
        return found;
    if (!target || flags != SELFLAG_TAKEFOCUS)
        return DISP_E_MEMBERNOTFOUND;
    panel_->FocusTarget(target->id);
    return S_OK;
}

HRESULT PanelAccessible::accLocation(long* left, long* top, long* width, long* height,
                                     VARIANT child) {
    if (!left || !top || !width || !height)
        return E_INVALIDARG;
    const PanelHitTarget* target = nullptr;
    if (const HRESULT found = Resolve(child, target); found != S_OK)
        return found;
    RECT rect{};
    if (target) {
        const PanelRect shown = panel_->WindowRect(target->rect);
        rect = {shown.left, shown.top, shown.right, shown.bottom};
        MapWindowPoints(panel_->window(), nullptr, reinterpret_cast<POINT*>(&rect), 2);
    } else {
        GetWindowRect(panel_->window(), &rect);
    }
    *left = rect.left;
    *top = rect.top;
    *width = rect.right - rect.left;
    *height = rect.bottom - rect.top;
    return S_OK;
}

HRESULT PanelAccessible::accNavigate(long direction, VARIANT start, VARIANT* end) {
    if (!end)
        return E_INVALIDARG;
    VariantInit(end);
    const PanelHitTarget* target = nullptr;
    if (const HRESULT found = Resolve(start, target); found != S_OK)
        return found;
    const PanelLayout& layout = panel_->layout();
    long to = 0;
    if (!target && direction == NAVDIR_FIRSTCHILD) {
        to = EdgeChildId(layout, false);
    } else if (!target && direction == NAVDIR_LASTCHILD) {
        to = EdgeChildId(layout, true);
    } else if (target && (direction == NAVDIR_NEXT || direction == NAVDIR_DOWN)) {
        to = NeighbourChildId(layout, start.lVal, +1);
    } else if (target && (direction == NAVDIR_PREVIOUS || direction == NAVDIR_UP)) {
        to = NeighbourChildId(layout, start.lVal, -1);
    }
    if (to == 0)
        return S_FALSE;
    *end = Integer(to);
    return S_OK;
}

HRESULT PanelAccessible::accHitTest(long x, long y, VARIANT* child) {
    if (!child)
        return E_INVALIDARG;
    VariantInit(child);
    if (!panel_)
        return CO_E_OBJNOTCONNECTED;
    RECT window{};
    GetWindowRect(panel_->window(), &window);
    const POINT screen{x, y};
    if (!PtInRect(&window, screen))
        return S_FALSE;
    POINT point = screen;
    ScreenToClient(panel_->window(), &point);
    const int32_t id = panel_->TargetAt(point.x, point.y);
    *child = Integer(id != kTargetNone ? AccessibleChildId(id) : CHILDID_SELF);
    return S_OK;
}

HRESULT PanelAccessible::accDoDefaultAction(VARIANT child) {
    const PanelHitTarget* target = nullptr;
    if (const HRESULT found = Resolve(child, target); found != S_OK)
        return found;
    if (!target)
        return DISP_E_MEMBERNOTFOUND;
    panel_->ActivateLater(target->id);  // after this call returns: it may open a dialog
    return S_OK;
}

HRESULT PanelAccessible::put_accName(VARIANT, BSTR) {
    return E_NOTIMPL;
}

HRESULT PanelAccessible::put_accValue(VARIANT, BSTR) {
    return E_NOTIMPL;
}

HRESULT PanelAccessible::Next(ULONG count, VARIANT* out, ULONG* fetched) {
    if (!out || (count > 1 && !fetched))
        return E_INVALIDARG;
    if (fetched)
        *fetched = 0;
    if (!panel_)
        return CO_E_OBJNOTCONNECTED;
    const auto& targets = panel_->layout().targets;
    ULONG given = 0;
    for (; given < count && nextChild_ < targets.size(); ++given, ++nextChild_) {
        VariantInit(&out[given]);
        out[given].vt = VT_I4;
        out[given].lVal = AccessibleChildId(targets[nextChild_].id);
    }
    if (fetched)
        *fetched = given;
    return given == count ? S_OK : S_FALSE;
}

HRESULT PanelAccessible::Skip(ULONG count) {
    if (!panel_)
        return CO_E_OBJNOTCONNECTED;
    const size_t size = panel_->layout().targets.size();
    const size_t left = nextChild_ < size ? size - nextChild_ : 0;
    nextChild_ += count < left ? count : left;
    return count <= left ? S_OK : S_FALSE;
}

HRESULT PanelAccessible::Reset() {
    nextChild_ = 0;
    return S_OK;
}

HRESULT PanelAccessible::Clone(IEnumVARIANT** copy) {
    if (!copy)
        return E_POINTER;
    *copy = nullptr;
    if (!panel_)
        return CO_E_OBJNOTCONNECTED;
    std::vector<long> ids;
    for (const PanelHitTarget& target : panel_->layout().targets)
        ids.push_back(AccessibleChildId(target.id));
    *copy = new ChildEnumerator(std::move(ids), nextChild_);
    return S_OK;
}
