//===- Filer.cpp - Collecting the stored values of declared properties ===//
#include "platform/ui/components/Filer.h"

#include "platform/rtl/TStream.h"
#include "platform/ui/components/FormResource.h"
#include "platform/ui/components/TComponent.h"

namespace {

class TPropertyCollector : public TFiler {
public:
    void DefineProperty(std::string_view Name, const TValueReader&, const TValueWriter& Write, bool HasData) override
    {
        if (HasData && Write)
            Properties.push_back({ std::string(Name), Write(), 0 });
    }
    void DefineBinaryProperty(std::string_view Name, const TStreamProc&, const TStreamProc& Write,
                              bool HasData) override
    {
        if (!HasData || !Write)
            return;
        TMemoryStream Stream;
        Write(Stream);
        TFormValue Value;
        Value.Kind = TFormValueKind::Binary;
        Value.Bytes.assign(Stream.Memory(), Stream.Memory() + Stream.GetSize());
        Properties.push_back({ std::string(Name), std::move(Value), 0 });
    }

    std::vector<TFormProperty> Properties;
};

} // namespace

std::vector<TFormProperty> DefinedProperties(TPersistent& Instance)
{
    TPropertyCollector Collector;
    Instance.DefineProperties(Collector);
    return std::move(Collector.Properties);
}
