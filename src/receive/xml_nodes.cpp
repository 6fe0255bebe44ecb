#include "receive/xml_nodes.h"

#include <cctype>

namespace receive {

std::string_view LocalName(const pugi::xml_node& node) {
  std::string_view name = node.name();
  const std::size_t colon = name.find(':');
  return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

pugi::xml_node Child(const pugi::xml_node& node, std::string_view local) {
  for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling())
    if (child.type() == pugi::node_element && LocalName(child) == local) return child;
  return {};
}

pugi::xml_node Path(pugi::xml_node node, std::initializer_list<std::string_view> locals) {
  for (std::string_view local : locals) {
    if (!node) break;
    node = Child(node, local);
  }
  return node;
}

std::vector<pugi::xml_node> Children(const pugi::xml_node& node, std::string_view local) {
  std::vector<pugi::xml_node> found;
  for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling())
    if (child.type() == pugi::node_element && LocalName(child) == local) found.push_back(child);
  return found;
}

std::string Text(const pugi::xml_node& node, std::initializer_list<std::string_view> locals) {
  std::string_view text = Path(node, locals).child_value();
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
    text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
    text.remove_suffix(1);
  return std::string(text);
}

Amount AmountAt(const pugi::xml_node& node, std::initializer_list<std::string_view> locals) {
  return ReadAmount(Path(node, locals).child_value());
}

std::string Attribute(const pugi::xml_node& node, std::string_view local) {
  for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) {
    std::string_view name = a.name();
    const std::size_t colon = name.find(':');
    if ((colon == std::string_view::npos ? name : name.substr(colon + 1)) == local)
      return a.value();
  }
  return {};
}

bool DecodeBase64(std::string_view text, std::string& bytes) {
  bytes.clear();
  bytes.reserve(text.size() * 3 / 4);
  unsigned int buffer = 0;
  int bits = 0;
  bool padded = false;
  for (char c : text) {
    int value;
    if (c >= 'A' && c <= 'Z')
      value = c - 'A';
    else if (c >= 'a' && c <= 'z')
      value = c - 'a' + 26;
    else if (c >= '0' && c <= '9')
      value = c - '0' + 52;
    else if (c == '+')
      value = 62;
    else if (c == '/')
      value = 63;
    else if (c == '=') {
      padded = true;
      continue;
    } else if (std::isspace(static_cast<unsigned char>(c)))
      continue;
    else
      return false;
    if (padded) return false;  // data after the padding
    buffer = (buffer << 6) | static_cast<unsigned int>(value);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      bytes += static_cast<char>((buffer >> bits) & 0xFF);
    }
  }
  return true;
}

}  // namespace receive
