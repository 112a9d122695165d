// Streaming a chart value object the way a chart's form data stores it: as
// the "Value" property of a component, in the binary component stream.
#pragma once

#include "platform/rtl/component.h"
#include "platform/rtl/filer.h"
#include "platform/rtl/objtext.h"
#include "platform/rtl/streams.h"

#include <QStringList>

// Publishes one value object; reading into it assigns.
class TStreamHost : public TComponent {
  RTL_CLASS(TStreamHost, TComponent)
public:
  explicit TStreamHost(TComponent* AOwner = nullptr) : TComponent(AOwner) {}
  TPersistent* FValue = nullptr;
  TPersistent* Value() const { return FValue; }
  void SetValue(TPersistent* V) { FValue->Assign(V); }
  static void DescribeProperties(TPropertyTable& P) { P.Add("Value", &TStreamHost::Value, &TStreamHost::SetValue); }
};

// The stored properties of Object, as the text form shows them, one
// trimmed line each without the "Value." prefix ("Color = clRed").
inline QStringList StreamedProperties(TPersistent* Object) {
  TStreamHost Host;
  Host.FValue = Object;
  TMemoryStream Binary, Text;
  {
    TWriter W(&Binary);
    W.WriteRootComponent(&Host);
  }
  Binary.SetPosition(0);
  ObjectBinaryToText(&Binary, &Text);
  QStringList Lines = QString::fromUtf8(static_cast<const char*>(Text.Memory()), int(Text.Size()))
                          .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
  QStringList Result;
  for (const QString& L : Lines.mid(1, Lines.size() - 2)) {
    QString T = L.trimmed();
    if (T.startsWith(QStringLiteral("Value."))) T = T.mid(6);
    Result << T;
  }
  return Result;
}

// Streams Source out and reads the stream into Target.
inline void StreamCopy(TPersistent* Source, TPersistent* Target) {
  TStreamHost From, To;
  From.FValue = Source;
  To.FValue = Target;
  TMemoryStream Binary;
  {
    TWriter W(&Binary);
    W.WriteRootComponent(&From);
  }
  Binary.SetPosition(0);
  TReader R(&Binary);
  R.ReadRootComponent(&To);
}
