#pragma once

#include <QString>
#include <QVariantList>
#include <memory>

// A late-bound automation object: its methods are called by name at run time. A name the
// object does not know is an error, as it would be for the automation server.
class OleObject {
public:
    virtual ~OleObject() = default;
    // Calls a method; the result is another object, or null for methods without one.
    virtual std::shared_ptr<OleObject> call(const QString& method,
                                            const QVariantList& arguments = {}) = 0;
};

// Creates the automation object of a programmatic identifier. "Word.Application" is the
// word processor, LibreOffice Writer (`soffice`, found on PATH): its Documents.Open(path)
// starts Writer with the document. KestaError when the identifier is unknown or the word
// processor is not installed.
std::shared_ptr<OleObject> CreateOleObject(const QString& programmaticId);
