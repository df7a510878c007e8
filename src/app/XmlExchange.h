#pragma once
// The metadata of one image as an XML document, written by export and applied back by import.

#include "core/ImageInfo.h"
#include "toolkit/SysUtils.h"

#include <string>

namespace ovrel::app {

/// A document whose content cannot be imported, or an image that could not be rewritten.
class EXmlImportError : public toolkit::Exception {
public:
    using toolkit::Exception::Exception;
};

/// Writes the image's file name and metadata items to fileName, replacing an existing file. Raises
/// toolkit::EXMLDocError when the file cannot be written.
void ExportXml(const core::TVekImageInfo& info, const std::string& fileName);

/// Replaces the image's metadata by the document's items and rewrites the image file. The whole document
/// is checked first: on any error (toolkit::EXMLDocError for an unreadable or refused document,
/// EXmlImportError for its content, values of more than 16 MiB together, or a failed save; running out of
/// memory included) the image object and its file are left as they were.
void ImportXml(const std::string& fileName, core::TVekImageInfo& info);

}  // namespace ovrel::app
