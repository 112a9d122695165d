#include "chartlib/canvas/chartmessages.h"

#include <array>
#include <cassert>
#include <memory>

namespace {

// How an entry is made: one text, or two texts around the line separator or
// the chart-file extension.
enum TJoin { jNone, jLineSeparator, jChartFileExtension };

struct TEntry {
  const char16_t* Head;
  TJoin Join = jNone;
  const char16_t* Tail = nullptr;
};

// The table in fill order; entry N is Entries[N - 1].
const TEntry Entries[ChartMessageCount] = {
    {u"Chart drawing library"},  // 1
    {u"Test..."},  // 2
    {u"First Legend Value must be > 0"},  // 3
    {u"Legend Color Width must be > 0%"},  // 4
    {u"No ParentChart to validate DataSource"},  // 5
    {u"No valid DataSource: %s"},  // 6
    {u"DateTime Axis cannot be Logarithmic"},  // 7
    {u"Logarithmic Axis Min and Max values should be >= 0"},  // 8
    {u"Labels Separation % must be greater than 0"},  // 9
    {u"Axis increment must be >= 0"},  // 10
    {u"Axis Minimum Value must be <= Maximum"},  // 11
    {u"Axis Maximum Value must be >= Minimum"},  // 12
    {u"Axis Logarithmic Base should be <> 1 and > 0"},  // 13
    {u"MaxPointsPerPage must be >= 0"},  // 14
    {u"Circular Series dependences are not allowed"},  // 15
    {u"%s of %s"},  // 16
    {u"%s", jLineSeparator, u"of %s"},  // 17
    {u"##0.## %"},  // 18
    {u"#,##0.###"},  // 19
    {u"#.0 \"x10\" E+0"},  // 20
    {u"Axis Title"},  // 21
    {u"Axis Labels"},  // 22
    {u"Refresh Interval must be between 0 and 60"},  // 23
    {u"Series.ParentChart is not myself!"},  // 24
    {u"Line"},  // 25
    {u"Point"},  // 26
    {u"Area"},  // 27
    {u"Bar"},  // 28
    {u"Horizontal", jLineSeparator, u"Bar"},  // 29
    {u"Stack"},  // 30
    {u"Pie"},  // 31
    {u"Circled"},  // 32
    {u"Fast Line"},  // 33
    {u"Horizontal", jLineSeparator, u"Line"},  // 34
    {u"Cars"},  // 35
    {u"Phones"},  // 36
    {u"Tables"},  // 37
    {u"Monitors"},  // 38
    {u"Lamps"},  // 39
    {u"Keyboards"},  // 40
    {u"Bikes"},  // 41
    {u"Chairs"},  // 42
    {u"Courier New"},  // 43
    {u"Editing %s"},  // 44
    {u"Standard"},  // 45
    {u"Extended"},  // 46
    {u"Functions"},  // 47
    {u"E&dit Chart..."},  // 48
    {u"&Print Preview..."},  // 49
    {u"E&xport Chart..."},  // 50
    {u"Custom Axes..."},  // 51
    {u"%s: Invalid Editor Class: %s"},  // 52
    {u"%s: has no Editor Dialog"},  // 53
    {u"Arrow"},  // 54
    {u"&Finish"},  // 55
    {u"&Next >"},  // 56
    {u"Gantt"},  // 57
    {u"Design"},  // 58
    {u"Prototyping"},  // 59
    {u"Development"},  // 60
    {u"Sales"},  // 61
    {u"Marketing"},  // 62
    {u"Testing"},  // 63
    {u"Manufac."},  // 64
    {u"Debugging"},  // 65
    {u"New Version"},  // 66
    {u"Banking"},  // 67
    {u"Change Series Title"},  // 68
    {u"New Series Title:"},  // 69
    {u"DateTime"},  // 70
    {u"Top Axis"},  // 71
    {u"Bottom Axis"},  // 72
    {u"Left Axis"},  // 73
    {u"Right Axis"},  // 74
    {u"Delete %s ?"},  // 75
    {u"DateTime For&mat:"},  // 76
    {u"Default"},  // 77
    {u"Values For&mat:"},  // 78
    {u"Maximum"},  // 79
    {u"Minimum"},  // 80
    {u"Desired %s Increment"},  // 81
    {u"Incorrect value. Reason: %s"},  // 82
    {u"Enter [Number of Days] [hh:nn:ss]"},  // 83
    {u"Apply Changes ?"},  // 84
    {u"(Selected Series)"},  // 85
    {u"&Refresh Data"},  // 86
    {u"8"},  // 87
    {u"414"},  // 88
    {u"347"},  // 89
    {u"Add"},  // 90
    {u"Subtract"},  // 91
    {u"Multiply"},  // 92
    {u"Divide"},  // 93
    {u"High"},  // 94
    {u"Low"},  // 95
    {u"Average"},  // 96
    {u"Shape"},  // 97
    {u"Bubble"},  // 98
    {u"Copy"},  // 99
    {u"(none)"},  // 100
    {u"{ Private declarations }"},  // 101
    {u"{ Public declarations }"},  // 102
    {u"Arial"},  // 103
    {u"Pointer size must be greater than zero"},  // 104
    {u"Abo&ut Orvalis..."},  // 105
    {u"Additional"},  // 106
    {u"Data Controls"},  // 107
    {u"QReport"},  // 108
    {u"Dataset"},  // 109
    {u"&Dataset:"},  // 110
    {u"Single Record"},  // 111
    {u"&DataSource:"},  // 112
    {u"Summary"},  // 113
    {u"Function Period should be >= 0"},  // 114
    {u"Business"},  // 115
    {u"Orvalis Wizard"},  // 116
    {u"Clea&r"},  // 117
    {u"B&rowse..."},  // 118
    {u"Are you sure that you want to close the Orvalis Wizard ?"},  // 119
    {u"Field %s does not exist"},  // 120
    {u"Depth Right"},  // 121
    {u"Other"},  // 122
    {u"abc"},  // 123
    {u"123"},  // 124
    {u"X"},  // 125
    {u"Y"},  // 126
    {u"Pie"},  // 127
    {u"Bar"},  // 128
    {u"Angle"},  // 129
    {u"Start"},  // 130
    {u"End"},  // 131
    {u"NextTask"},  // 132
    {u"Radius"},  // 133
    {u"EndX"},  // 134
    {u"EndY"},  // 135
    {u"Legend"},  // 136
    {u"Title"},  // 137
    {u"Footer"},  // 138
    {u"Period"},  // 139
    {u"Period range"},  // 140
    {u"Calculate %s every:"},  // 141
    {u"Small Dots"},  // 142
    {u"Invalid Chart in *.", jChartFileExtension, u" file"},  // 143
    {u"Wrong *.", jChartFileExtension, u" file format"},  // 144
    {u"Empty *.", jChartFileExtension, u" file"},  // 145
    {u"Chart Axes"},  // 146
    {u"Chart Axes properties and events"},  // 147
    {u"Chart Walls"},  // 148
    {u"Chart Walls properties and events"},  // 149
    {u"Chart Titles"},  // 150
    {u"Chart Titles properties and events"},  // 151
    {u"Chart 3D"},  // 152
    {u"Chart 3D properties and events"},  // 153
    {u"Custom "},  // 154
    {u"Series"},  // 155
    {u"Series..."},  // 156
    {u"Page %d of %d"},  // 157
    {u"%d bytes"},  // 158
    {u"First"},  // 159
    {u"Prior"},  // 160
    {u"Next"},  // 161
    {u"Last"},  // 162
    {u"Insert"},  // 163
    {u"Delete"},  // 164
    {u"Edit"},  // 165
    {u"Post"},  // 166
    {u"Cancel"},  // 167
    {u"(all)"},  // 168
    {u"Index"},  // 169
    {u"Text"},  // 170
    {u"as &Bitmap"},  // 171
    {u"Bitmaps (*.bmp)|*.bmp"},  // 172
    {u"as &Metafile"},  // 173
    {u"Enhanced Metafiles (*.emf)|*.emf|Metafiles (*.wmf)|*.wmf"},  // 174
    {u"Panel property is not set in Export format"},  // 175
    {u"Normal"},  // 176
    {u"No Border"},  // 177
    {u"Dotted"},  // 178
    {u"Colors"},  // 179
    {u"Filled"},  // 180
    {u"Marks"},  // 181
    {u"Stairs"},  // 182
    {u"Points"},  // 183
    {u"Height"},  // 184
    {u"Hollow"},  // 185
    {u"Point 2D"},  // 186
    {u"Triangle"},  // 187
    {u"Star"},  // 188
    {u"Circle"},  // 189
    {u"Down Tri."},  // 190
    {u"Cross"},  // 191
    {u"Diamond"},  // 192
    {u"No Lines"},  // 193
    {u"Stack 100%"},  // 194
    {u"Pyramid"},  // 195
    {u"Ellipse"},  // 196
    {u"Inv. Pyramid"},  // 197
    {u"Sides"},  // 198
    {u"Side All"},  // 199
    {u"Patterns"},  // 200
    {u"Exploded"},  // 201
    {u"Shadow"},  // 202
    {u"Semi Pie"},  // 203
    {u"Rectangle"},  // 204
    {u"Vert.Line"},  // 205
    {u"Horiz.Line"},  // 206
    {u"Line"},  // 207
    {u"Cube"},  // 208
    {u"Diag.Cross"},  // 209
    {u"Can not find Temp folder"},  // 210
    {u"Can not create Temp file"},  // 211
    {u"Can not email Orvalis. Mapi Error: %d"},  // 212
    {u"Series Delete: ValueIndex %d out of bounds (0 to %d)."},  // 213
    {u"No Series selected"},  // 214
    {u"Error code: %d downloading Chart from URL: %s"},  // 215
    {u"Error code: %d downloading Series data from URL: %s"},  // 216
    {u"as &JPEG"},  // 217
    {u"JPEG files (*.jpg)|*.jpg"},  // 218
    {u"as &GIF"},  // 219
    {u"GIF files (*.gif)|*.gif"},  // 220
    {u"as &PNG"},  // 221
    {u"PNG files (*.png)|*.png"},  // 222
    {u"as PC&X"},  // 223
    {u"PCX files (*.pcx)|*.pcx"},  // 224
    {u"as &VML (HTM)"},  // 225
    {u"VML files (*.htm)|*.htm"},  // 226
    {u"&Language..."},  // 227
    {u"Text File"},  // 228
    {u"Gradient"},  // 229
    {u"Do you want to save %s?"},  // 230
    {u"Orvalis files"},  // 231
    {u"Property"},  // 232
    {u"Value"},  // 233
    {u"Yes"},  // 234
    {u"No"},  // 235
    {u"(image)"},  // 236
    {u"y = f(x)"},  // 237
    {u"as &PDF"},  // 238
    {u"PDF files (*.pdf)|*.pdf"},  // 239
    {u"as PostScript"},  // 240
    {u"PostScript files (*.eps)|*.eps"},  // 241
    {u"Horizontal", jLineSeparator, u"Area"},  // 242
    {u"Self Stacked"},  // 243
    {u"Dark Border"},  // 244
    {u"Select folder"},  // 245
    {u"&Alias:"},  // 246
    {u"&Connection:"},  // 247
    {u"&Apply"},  // 248
    {u"Add new group"},  // 249
    {u"Change group name"},  // 250
    {u"Group name:"},  // 251
    {u"Median"},  // 252
    {u"Mode"},  // 253
    {u"&Options..."},  // 254
    {u"Depth Top"},  // 255
    {u"2D"},  // 256
    {u"Outline"},  // 257
    {u"Space delimited text files (*.txt)|*.txt"},  // 258
    {u"Tab delimited text files (*.txt)|*.txt"},  // 259
    {u"Comma delimited text files (*.csv)|*.csv"},  // 260
    {u"Colon delimited text files (*.txt)|*.txt"},  // 261
    {u"Custom delimited text files (*.txt)|*.txt"},  // 262
    {u"XML files (*.xml)|*.xml"},  // 263
    {u"HTML files (*.htm)|*.htm"},  // 264
    {u"Microsoft Excel files(*.xls)|*.xls|Microsoft Excel files (*.xlsx)|*.xlsx"},  // 265
    {u"Ortho Right"},  // 266
    {u"Ortho Left"},  // 267
    {u"3D Front"},  // 268
    {u"3D Right"},  // 269
    {u"3D Left"},  // 270
    {u"as &SVG"},  // 271
    {u"SVG files (*.svg)|*.svg"},  // 272
    {u"SubTitle"},  // 273
    {u"SubFoot"},  // 274
    {u"Subset"},  // 275
    {u"Hexagon"},  // 276
    {u"Antialias"},  // 277
    {u"Percent"},  // 278
    {u"Smooth"},  // 279
    {u"Blur"},  // 280
    {u"Width"},  // 281
    {u"Resize"},  // 282
    {u"Left"},  // 283
    {u"Top"},  // 284
    {u"Crop"},  // 285
    {u"Invert"},  // 286
    {u"Gray scale"},  // 287
    {u"Mosaic"},  // 288
    {u"Flip"},  // 289
    {u"Reverse"},  // 290
    {u"Brightness"},  // 291
    {u"Color"},  // 292
    {u"Hue,Lum,Sat"},  // 293
    {u"Sharpen"},  // 294
    {u"Gamma correction"},  // 295
    {u"Emboss"},  // 296
    {u"Contrast"},  // 297
    {u"Rotate"},  // 298
    {u"Back"},  // 299
    {u"Autosize"},  // 300
    {u"Mirror"},  // 301
    {u"Columns"},  // 302
    {u"Rows"},  // 303
    {u"Tile"},  // 304
    {u"Bevel"},  // 305
    {u"Zoom"},  // 306
    {u"Default"},  // 307
    {u"Orvalis"},  // 308
    {u"Excel"},  // 309
    {u"Victorian"},  // 310
    {u"Pastels"},  // 311
    {u"Solid"},  // 312
    {u"Classic"},  // 313
    {u"Web"},  // 314
    {u"Modern"},  // 315
    {u"Rainbow"},  // 316
    {u"Win. XP"},  // 317
    {u"Mac OS"},  // 318
    {u"Win. Vista"},  // 319
    {u"Gray scale"},  // 320
    {u"Opera"},  // 321
    {u"Warm"},  // 322
    {u"Cool"},  // 323
    {u"&Filters..."},  // 324
    {u"CrossTab"},  // 325
    {u"Summary properties"},  // 326
    {u"as Flex (Flash)"},  // 327
    {u"Flex Flash files (*.mxml)|*.mxml"},  // 328
    {u"as XAML (WPF)"},  // 329
    {u"XAML files (*.xaml)|*.xaml"},  // 330
    {u"Select temporary folder"},  // 331
    {u"Select folder with Adobe Flex mxmlc.exe compiler"},  // 332
    {u"\u00B0"},  // 333
    {u"New Chart"},  // 334
    {u"Rename Chart"},  // 335
    {u"Chart Name:"},  // 336
    {u"Select text file"},  // 337
    {u"Save as text file"},  // 338
    {u"&Record Video !"},  // 339
    {u"Change tool name"},  // 340
    {u"New tool name?"},  // 341
    {u"&Change..."},  // 342
    {u"Ternary"},  // 343
    {u"Weighting"},  // 344
    {u"DPI"},  // 345
    {u"Image DPI setting failed: Invalid identifier"},  // 346
    {u"BlackIsBack"},  // 347
    {u"Speed"},  // 348
    {u"Radius"},  // 349
    {u"Weight"},  // 350
    {u"Change animation name"},  // 351
    {u"New animation name?"},  // 352
    {u"All"},  // 353
    {u"Expand"},  // 354
    {u"Expands a chart object by a given size."},  // 355
    {u"Smoothing"},  // 356
    {u"Legend title"},  // 357
    {u"RGB: %s, %s, %s"},  // 358
    {u"HLS: %s, %s, %s"},  // 359
    {u"Search"},  // 360
    {u"Error Point"},  // 361
    {u"Error Point3D"},  // 362
    {u"Volume"},  // 363
    {u"One of the Series Types you have selected", jLineSeparator, u"is not implemented yet for Javascript."},  // 364
    {u"as HTML5 &JScript"},  // 365
    {u"HTML5 Files (*.html)|*.html|JavaScript Files (*.js)|*.js"},  // 366
    {u"Metro"},  // 367
    {u"as HTML&5 Canvas"},  // 368
    {u"HTML5 Files (*.htm)|*.htm"},  // 369
    {u"iOS"},  // 370
    {u"SERVER ERROR"},  // 371
    {u"Thanks for Your Help"},  // 372
    {u"&Send"},  // 373
    {u"JSON files (*.json)|*.json"},  // 374
    {u"OpenDocument Spreadsheet files (*.ods)|*.ods"},  // 375
    {u"Item"},  // 376
    {u"Android"},  // 377
    {u"Concentric"},  // 378
    {u"&Animate !"},  // 379
    {u"Stop"},  // 380
    {u"Animation"},  // 381
    {u"Random Points"},  // 382
    {u"Pareto"},  // 383
    {u"Centroid"},  // 384
    {u"Donut"},  // 385
    {u"Data"},  // 386
    {u"Progressive Lines"},  // 387
    {u"Series Transition"},  // 388
    {u"Series Animation"},  // 389
    {u"Animate Series points"},  // 390
    {u"Color Replacer"},  // 391
    {u"Equalize"},  // 392
    {u"Sobel"},  // 393
    {u"Sepia"},  // 394
    {u"Lookout"},  // 395
    {u"Seawash"},  // 396
    {u"Stacked Bars"},  // 397
    {u"Line and Point"},  // 398
    {u"Concentric Donuts"},  // 399
    {u"Excel file empty"},  // 400
    {u"Excel"},  // 401
    {u"Excel WorkSheet must be specified"},  // 402
    {u"Range must be specified. (ie: From A1 to A10)"},  // 403
    {u"Activity"},  // 404
    {u"Activity Gauge"},  // 405
    {u"Equalizer Series"},  // 406
    {u"Self Stack 100%"},  // 407
};

// The unit's texts, made at start-up and freed at shutdown.
struct TChartMessages {
  String LineSeparator;
  String FileExtension;
  std::array<String, ChartMessageCount + 1> Texts;  // [0] unused: entries count from 1
};

std::unique_ptr<TChartMessages>& messages() {
  static std::unique_ptr<TChartMessages> Messages;
  return Messages;
}

const String& emptyText() {
  static const String Empty;
  return Empty;
}

String compose(const TEntry& E, const TChartMessages& M) {
  String Result = String::fromUtf16(E.Head);
  if (E.Join == jNone) return Result;
  Result += E.Join == jLineSeparator ? M.LineSeparator : M.FileExtension;
  return Result + String::fromUtf16(E.Tail);
}

}  // namespace

const String& ChartMessage(int Index) {
  assert(Index >= 1 && Index <= ChartMessageCount && "chart message index out of range");
  const auto& M = messages();
  return M ? M->Texts[Index] : emptyText();
}

const String& ChartLineSeparator() { return messages() ? messages()->LineSeparator : emptyText(); }

const String& ChartFileExtension() { return messages() ? messages()->FileExtension : emptyText(); }

void InitializeChartMessages() {
  auto M = std::make_unique<TChartMessages>();
  M->LineSeparator = String(QChar(13));
  M->FileExtension = QStringLiteral("tee");
  for (int I = 1; I <= ChartMessageCount; ++I) M->Texts[I] = compose(Entries[I - 1], *M);
  messages() = std::move(M);
}

void FinalizeChartMessages() { messages().reset(); }
