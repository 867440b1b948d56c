//===- Filer.h - Stored properties that a class declares for itself -*- C++ -*-===//
//
// A class stores state that its published table does not show by declaring it in
// DefineProperties, after its ancestor's declarations:
//
//   void TPlotGraph::DefineProperties(TFiler& Filer)
//   {
//       TCustomPanel::DefineProperties(Filer);
//       Filer.DefineProperty("SeriesCount", ReadCount, WriteCount, true);
//       Filer.DefineBinaryProperty("SeriesInfo", ReadInfo, WriteInfo, FSeriesCount != 0);
//   }
//
// In a form resource such a property reads like a published one: a value of any kind
// ( 'I' 0 ), or bytes { 0A1B2C } for a binary property. The form reader asks DefineProperties
// for a name that the class does not publish; DefinedProperties asks it for what to store.
//
#pragma once

#include <functional>
#include <string_view>
#include <vector>

struct TFormProperty;
struct TFormValue;
class TPersistent;
class TStream;

class TFiler {
public:
    /// Takes the value as the resource has it.
    using TValueReader = std::function<void(const TFormValue&)>;
    /// Answers the value to store.
    using TValueWriter = std::function<TFormValue()>;
    /// Reads from (or writes to) a stream that holds exactly the property's bytes.
    using TStreamProc = std::function<void(TStream&)>;

    virtual ~TFiler() = default;
    /// HasData decides whether the property is stored; a filer that stores calls Write at once,
    /// so a later declaration may depend on what an earlier writer did.
    virtual void DefineProperty(std::string_view Name, const TValueReader& Read, const TValueWriter& Write,
                                bool HasData) = 0;
    virtual void DefineBinaryProperty(std::string_view Name, const TStreamProc& Read, const TStreamProc& Write,
                                      bool HasData) = 0;
};

/// The declared properties of Instance that have data, in declaration order, with the values
/// their writers give (binary ones as Binary values).
std::vector<TFormProperty> DefinedProperties(TPersistent& Instance);
