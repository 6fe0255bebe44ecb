#include "einvoice/factur_x_metadata.h"

#include "einvoice/cii_writer.h"

namespace einvoice {

namespace {

constexpr std::string_view kIdentification =
    "    <rdf:Description xmlns:pdfaid=\"http://www.aiim.org/pdfa/ns/id/\" rdf:about=\"\""
    " pdfaid:part=\"3\" pdfaid:conformance=\"B\"/>\n";

std::string Property(std::string_view name, std::string_view description) {
  return std::string(
             "              <rdf:li rdf:parseType=\"Resource\">\n"
             "                <pdfaProperty:name>") +
         std::string(name) +
         "</pdfaProperty:name>\n"
         "                <pdfaProperty:valueType>Text</pdfaProperty:valueType>\n"
         "                <pdfaProperty:category>external</pdfaProperty:category>\n"
         "                <pdfaProperty:description>" +
         std::string(description) +
         "</pdfaProperty:description>\n"
         "              </rdf:li>\n";
}

std::string FacturXDescriptions(std::string_view conformanceLevel) {
  return std::string(
             "    <rdf:Description rdf:about=\"\""
             " xmlns:pdfaExtension=\"http://www.aiim.org/pdfa/ns/extension/\""
             " xmlns:pdfaSchema=\"http://www.aiim.org/pdfa/ns/schema#\""
             " xmlns:pdfaProperty=\"http://www.aiim.org/pdfa/ns/property#\">\n"
             "      <pdfaExtension:schemas>\n"
             "        <rdf:Bag>\n"
             "          <rdf:li rdf:parseType=\"Resource\">\n"
             "            <pdfaSchema:schema>Factur-X PDFA Extension Schema</pdfaSchema:schema>\n"
             "            <pdfaSchema:namespaceURI>") +
         kFacturXNamespace +
         "</pdfaSchema:namespaceURI>\n"
         "            <pdfaSchema:prefix>fx</pdfaSchema:prefix>\n"
         "            <pdfaSchema:property>\n"
         "              <rdf:Seq>\n" +
         Property("DocumentFileName", "Name of the embedded XML invoice file") +
         Property("DocumentType", "INVOICE") +
         Property("Version", "Version of the Factur-X XML schema") +
         Property("ConformanceLevel", "Conformance level of the embedded XML invoice") +
         "              </rdf:Seq>\n"
         "            </pdfaSchema:property>\n"
         "          </rdf:li>\n"
         "        </rdf:Bag>\n"
         "      </pdfaExtension:schemas>\n"
         "    </rdf:Description>\n"
         "    <rdf:Description rdf:about=\"\" xmlns:fx=\"" +
         kFacturXNamespace +
         "\">\n"
         "      <fx:DocumentType>INVOICE</fx:DocumentType>\n"
         "      <fx:DocumentFileName>" +
         kFacturXFileName +
         "</fx:DocumentFileName>\n"
         "      <fx:Version>1.0</fx:Version>\n"
         "      <fx:ConformanceLevel>" +
         std::string(conformanceLevel) +
         "</fx:ConformanceLevel>\n"
         "    </rdf:Description>\n";
}

// The rdf:Description element around `at`: from its "<" to the end of its
// closing tag (or of the empty element).
bool DescriptionAround(std::string_view xmp, std::size_t at, std::size_t& begin, std::size_t& end) {
  begin = xmp.rfind("<rdf:Description", at);
  if (begin == std::string_view::npos) return false;
  const std::size_t tagEnd = xmp.find('>', begin);
  if (tagEnd == std::string_view::npos || tagEnd < at) return false;
  if (xmp[tagEnd - 1] == '/') {
    end = tagEnd + 1;
    return true;
  }
  const std::size_t close = xmp.find("</rdf:Description>", tagEnd);
  if (close == std::string_view::npos) return false;
  end = close + std::string_view("</rdf:Description>").size();
  return true;
}

}  // namespace

std::string_view ConformanceLevel(std::string_view guideline) {
  return guideline == kXRechnungGuideline ? "XRECHNUNG" : "EN 16931";
}

std::string FacturXMetadata(std::string_view xmp, std::string_view conformanceLevel) {
  const std::size_t rdfEnd = xmp.rfind("</rdf:RDF>");
  if (xmp.find("<x:xmpmeta") == std::string_view::npos || rdfEnd == std::string_view::npos) return {};
  std::string out(xmp.substr(0, rdfEnd));
  std::string tail(xmp.substr(rdfEnd));
  // The writer's own identification (part 1) goes; ours says part 3.
  const std::size_t pdfaid = out.find("pdfaid:part");
  std::size_t begin = 0, end = 0;
  if (pdfaid != std::string::npos && DescriptionAround(out, pdfaid, begin, end)) {
    std::size_t lineStart = out.rfind('\n', begin);
    lineStart = lineStart == std::string::npos ? begin : lineStart + 1;
    if (out.find_first_not_of(" \t", lineStart) == begin) begin = lineStart;
    if (end < out.size() && out[end] == '\n') ++end;
    out.erase(begin, end - begin);
  } else if (pdfaid != std::string::npos) {
    return {};  // an identification in a form not understood: never claim two
  }
  while (!out.empty() && (out.back() == ' ' || out.back() == '\t' || out.back() == '\n')) out.pop_back();
  out += '\n';
  return out + std::string(kIdentification) + FacturXDescriptions(conformanceLevel) + "  " + tail;
}

}  // namespace einvoice
