// Finding the elements of an e-invoice by their local names: suppliers bind
// the CII and UBL namespaces to whatever prefixes they like ("rsm:",
// "ram:", "cbc:", none), so the prefix is never part of what we look for.
#ifndef BELVON_RECEIVE_XML_NODES_H
#define BELVON_RECEIVE_XML_NODES_H

#include <initializer_list>
#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "receive/received_invoice.h"

namespace receive {

std::string_view LocalName(const pugi::xml_node& node);
// The first child element with this local name (an empty node when none).
pugi::xml_node Child(const pugi::xml_node& node, std::string_view local);
// The element reached by following local names from `node`.
pugi::xml_node Path(pugi::xml_node node, std::initializer_list<std::string_view> locals);
std::vector<pugi::xml_node> Children(const pugi::xml_node& node, std::string_view local);
// The trimmed text of the element at the path.
std::string Text(const pugi::xml_node& node, std::initializer_list<std::string_view> locals);
Amount AmountAt(const pugi::xml_node& node, std::initializer_list<std::string_view> locals);
// An attribute by its local name.
std::string Attribute(const pugi::xml_node& node, std::string_view local);
// Base64 as XML carries it (line breaks and blanks allowed); false when it
// holds anything else.
bool DecodeBase64(std::string_view text, std::string& bytes);

}  // namespace receive

#endif  // BELVON_RECEIVE_XML_NODES_H
