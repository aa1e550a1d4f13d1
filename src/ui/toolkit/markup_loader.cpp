#include "ui/toolkit/markup_loader.h"

#include <pugixml.hpp>

#include "ui/toolkit/attribute_values.h"
#include "ui/toolkit/box_layout.h"
#include "ui/toolkit/button.h"
#include "ui/toolkit/combo.h"
#include "ui/toolkit/container.h"
#include "ui/toolkit/edit.h"
#include "ui/toolkit/label.h"
#include "ui/toolkit/option.h"
#include "ui/toolkit/progress.h"
#include "ui/toolkit/skin_resources.h"
#include "ui/toolkit/tab_layout.h"
#include "ui/toolkit/window_tree.h"

namespace ui {
namespace {

std::wstring Wide(const char* utf8) { return pugi::as_wide(utf8); }

void Fail(std::wstring* error, const std::wstring& why) {
  if (error) *error = why;
}

FontSpec ReadFont(const pugi::xml_node& node, bool* isDefault) {
  FontSpec font;
  *isDefault = false;
  for (const pugi::xml_attribute& a : node.attributes()) {
    const std::wstring name = ToLowerAscii(Wide(a.name()));
    const std::wstring value = Wide(a.value());
    if (name == L"id") font.id = ParseInt(value);
    else if (name == L"name") font.face = value;
    else if (name == L"size") font.size = ParseInt(value);
    else if (name == L"bold") font.bold = ParseBool(value);
    else if (name == L"underline") font.underline = ParseBool(value);
    else if (name == L"italic") font.italic = ParseBool(value);
    else if (name == L"default") *isDefault = ParseBool(value);
  }
  return font;
}

std::unique_ptr<CControl> BuildControl(const pugi::xml_node& node, BuilderCallback* callback, int depth) {
  const std::wstring tag = Wide(node.name());
  std::unique_ptr<CControl> control;
  if (callback) control = callback->CreateCustomControl(tag);
  if (!control) control = CreateBuiltinControl(tag);
  if (!control) control = std::make_unique<CContainer>();

  for (const pugi::xml_attribute& a : node.attributes()) {
    control->SetAttribute(Wide(a.name()), Wide(a.value()));
  }

  if (auto* combo = dynamic_cast<CCombo*>(control.get())) {
    for (const pugi::xml_node& item : node.children()) {
      if (item.type() == pugi::node_element && EqualsIgnoreCase(Wide(item.name()), L"Item")) {
        combo->AddItem(Wide(item.attribute("text").value()));
      }
    }
    return control;
  }
  auto* container = dynamic_cast<CContainer*>(control.get());
  if (!container || depth >= kMaxDepth) return control;
  for (const pugi::xml_node& child : node.children()) {
    if (child.type() != pugi::node_element) continue;
    container->Add(BuildControl(child, callback, depth + 1));
  }
  return control;
}

}  // namespace

std::unique_ptr<CControl> CreateBuiltinControl(const std::wstring& tag) {
  const std::wstring t = ToLowerAscii(tag);
  if (t == L"control") return std::make_unique<CControl>();
  if (t == L"container") return std::make_unique<CContainer>();
  if (t == L"verticallayout") return std::make_unique<CVerticalLayout>();
  if (t == L"horizontallayout") return std::make_unique<CHorizontalLayout>();
  if (t == L"tablayout") return std::make_unique<CTabLayout>();
  if (t == L"label") return std::make_unique<CLabel>();
  if (t == L"button") return std::make_unique<CButton>();
  if (t == L"option") return std::make_unique<COption>();
  if (t == L"checkbox") return std::make_unique<CCheckBox>();
  if (t == L"edit") return std::make_unique<CEdit>();
  if (t == L"combo") return std::make_unique<CCombo>();
  if (t == L"progress") return std::make_unique<CProgress>();
  return nullptr;
}

bool LoadMarkup(const std::string& utf8, WindowTree& tree, BuilderCallback* callback,
                std::wstring* error) {
  pugi::xml_document doc;
  const pugi::xml_parse_result parsed =
      doc.load_buffer(utf8.data(), utf8.size(), pugi::parse_default, pugi::encoding_utf8);
  if (!parsed) {
    Fail(error, L"markup is not well-formed XML: " + Wide(parsed.description()));
    return false;
  }
  const pugi::xml_node window = doc.document_element();
  if (!EqualsIgnoreCase(Wide(window.name()), L"Window")) {
    Fail(error, L"markup root element is not Window");
    return false;
  }
  for (const pugi::xml_attribute& a : window.attributes()) {
    tree.SetWindowAttribute(Wide(a.name()), Wide(a.value()));
  }
  std::unique_ptr<CControl> root;
  for (const pugi::xml_node& child : window.children()) {
    if (child.type() != pugi::node_element) continue;
    if (EqualsIgnoreCase(Wide(child.name()), L"Font")) {
      bool isDefault = false;
      const FontSpec font = ReadFont(child, &isDefault);
      tree.AddFont(font, isDefault);
    } else if (!root) {
      root = BuildControl(child, callback, 1);
    }
  }
  if (!root) {
    Fail(error, L"markup has no control");
    return false;
  }
  tree.SetRoot(std::move(root));
  tree.InitControls();
  return true;
}

bool LoadMarkupFile(SkinResources& resources, const std::wstring& file, WindowTree& tree,
                    BuilderCallback* callback, std::wstring* error) {
  std::vector<std::uint8_t> bytes;
  if (!resources.Read(file, &bytes)) {
    Fail(error, L"skin file not found: " + file);
    return false;
  }
  return LoadMarkup(std::string(bytes.begin(), bytes.end()), tree, callback, error);
}

}  // namespace ui
