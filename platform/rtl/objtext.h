// The text form of binary component streams (filer.h), for people to read
// and edit and for readable golden tests.
//
//   object Form1: TMainForm            one object; "inherited" and "inline"
//     Caption = 'Main'                 stand for the prefix flags, " [3]"
//     Width = 640                      after the class for a child position,
//     Ratio = 1.5                      and an object without a name is
//     Font.Name = 'Arial'              "object TClass"
//     Options = [opA, opB]
//     Lines.Strings = (
//       'first'
//       'caf'#233)
//     Picture = {0A0B0C}
//     Columns = <
//       item
//         Title = 'Id'
//       end>
//     object Panel1: TPanel
//     end
//   end
//
// Values: integers in decimal ("$1F" is read too); floats with '.' and an
// optional exponent, suffixed "s" for single, "d" for a date and "c" for
// currency (the amount times 10^4, as an integer); identifiers, with True,
// False, nil and Null for their own tags; strings in quotes, where a quote
// and every char outside ' '..'~' are written as #code (one UTF-16 unit),
// adjacent parts form one string and long strings are split into "+" lines;
// ( ) lists, { } hex bytes, < > collections whose items may carry "[index]",
// [ ] sets.  The text is written in ASCII with CR LF line breaks (names in
// UTF-8) and read as UTF-8 (with or without a byte-order mark), or in the
// ANSI code page when it is not valid UTF-8.
#pragma once

class TStream;

enum TStreamOriginalFormat { sofUnknown, sofBinary, sofText, sofUTF8Text };

// Converts the binary component stream at Input's position into text at
// Output's position.  Bad input raises EReadError as TReader does.
void ObjectBinaryToText(TStream* Input, TStream* Output);
// Converts the text from Input's position to its end into a binary component
// stream at Output's position.  A syntax error raises EParserError
// "Line %d: <what was expected>".
void ObjectTextToBinary(TStream* Input, TStream* Output);
// What the stream holds from its position, which it keeps: a binary component
// stream ("TPF0"), text (starting with a letter of object/inherited/inline or
// a blank), UTF-8 text (a byte-order mark), or anything else.  Callers that
// need one of them raise "Invalid stream format." for the others.
TStreamOriginalFormat TestStreamFormat(TStream* Stream);
