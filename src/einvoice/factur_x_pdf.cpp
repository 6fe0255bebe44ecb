#include "einvoice/factur_x_pdf.h"

#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFEFStreamObjectHelper.hh>
#include <qpdf/QPDFEmbeddedFileDocumentHelper.hh>
#include <qpdf/QPDFFileSpecObjectHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <exception>
#include <memory>

#include "einvoice/factur_x_metadata.h"

namespace einvoice {

namespace {

bool Fail(std::string* error, const std::string& why) {
  if (error) *error = why;
  return false;
}

// The document's date as the document information states it.
std::string DocumentDate(QPDF& pdf) {
  QPDFObjectHandle info = pdf.getTrailer().getKey("/Info");
  if (!info.isDictionary()) return {};
  for (const char* key : {"/CreationDate", "/ModDate"})
    if (QPDFObjectHandle date = info.getKey(key); date.isString()) return date.getUTF8Value();
  return {};
}

}  // namespace

bool MakeFacturXPdf(std::string_view bytes, std::string_view xml, std::string_view conformanceLevel,
                    std::string& out, std::string* error) {
  try {
    QPDF pdf;
    pdf.setSuppressWarnings(true);
    const std::string input(bytes);
    pdf.processMemoryFile("PDF", input.data(), input.size());
    // A PDF qpdf had to repair is not the one the writer made: not passed on.
    if (pdf.anyWarnings()) return Fail(error, "the PDF is damaged");
    QPDFObjectHandle root = pdf.getRoot();

    QPDFObjectHandle metadata = root.getKey("/Metadata");
    if (!metadata.isStream()) return Fail(error, "the PDF has no XMP metadata");
    std::shared_ptr<Buffer> packet = metadata.getStreamData(qpdf_dl_generalized);
    const std::string xmp = FacturXMetadata(
        std::string_view(reinterpret_cast<const char*>(packet->getBuffer()), packet->getSize()),
        conformanceLevel);
    if (xmp.empty()) return Fail(error, "the PDF's metadata is no XMP packet");
    metadata.replaceStreamData(xmp, QPDFObjectHandle::newNull(), QPDFObjectHandle::newNull());
    if (!root.getKey("/OutputIntents").isArray()) return Fail(error, "the PDF has no output intent");
    const std::string date = DocumentDate(pdf);
    if (date.empty()) return Fail(error, "the PDF states no creation date");

    QPDFEFStreamObjectHelper file = QPDFEFStreamObjectHelper::createEFStream(pdf, std::string(xml));
    file.setSubtype("text/xml").setModDate(date);
    QPDFObjectHandle fileSpec =
        QPDFFileSpecObjectHelper::createFileSpec(pdf, kFacturXFileName, file).getObjectHandle();
    if (!fileSpec.isIndirect()) fileSpec = pdf.makeIndirectObject(fileSpec);
    QPDFFileSpecObjectHelper(fileSpec).setDescription("Factur-X invoice");
    fileSpec.replaceKey("/AFRelationship", QPDFObjectHandle::newName("/Alternative"));
    QPDFEmbeddedFileDocumentHelper(pdf).replaceEmbeddedFile(kFacturXFileName,
                                                            QPDFFileSpecObjectHelper(fileSpec));
    root.replaceKey("/AF", QPDFObjectHandle::newArray(std::vector<QPDFObjectHandle>{fileSpec}));

    QPDFWriter writer(pdf);
    writer.setOutputMemory();
    // Embedded files with a relation are PDF 1.7; PDF/A-3 takes no object
    // streams from a writer that needs none.
    writer.setMinimumPDFVersion("1.7");
    writer.setObjectStreamMode(qpdf_o_disable);
    writer.write();
    std::shared_ptr<Buffer> written = writer.getBufferSharedPointer();
    out.assign(reinterpret_cast<const char*>(written->getBuffer()), written->getSize());
    return true;
  } catch (const std::exception& e) {
    return Fail(error, e.what());
  }
}

}  // namespace einvoice
