// The converter: turns a stream of source blocks of one format into blocks of
// another and puts them straight into the document by the running action's
// edit mode (append behind the end, insert/replace over the selection, or mix
// into it). PCM to PCM is done here, also from 24/32-bit, float and
// extensible sources (pcm_convert.h); compressed formats go through the
// compression manager, in up to three steps when one stream cannot do it:
// the codec to 16-bit PCM of its own rate and channels, the built-in
// converter, and 16-bit PCM to the other codec.
//
// Outside append mode the output goes into the selection from the output
// position and never past its end (the room the action prepared); what does
// not fit is dropped. Mix mode mixes every channel on show.
//
// There is one converter; it is opened, fed and closed by one reader or
// command at a time.
#pragma once

#include <cstdint>

class CGObList;
class Form;
struct KvWaveFormat;

// Opens the one converter. destination null: the document's format. 0, -1
// (the formats are equal and the edit mode is append: nothing to convert) or
// an error id (258: no way between the two formats).
int OpenConverter(const KvWaveFormat* source, const KvWaveFormat* destination, int32_t outPos);

// OpenConverter in append mode whose output becomes chunks (CKV_BUFFER, in
// the destination format) appended to `chunks` instead of the document's.
int OpenConverterToChunks(const KvWaveFormat* source, const KvWaveFormat* destination, CGObList* chunks);

// 0 when the converter has a way from source to destination (nothing is
// converted), else the error OpenConverter would give. It uses the one
// converter: not while that is open.
int CheckConversion(const Form& source, const Form& destination);

// The source holds exactly this many samples (a "fact" chunk): decoded
// samples past them are dropped. Negative: as many as its blocks decode to.
void SetConverterSourceSamples(int32_t samples);

// Converts n source blocks and puts them into the document. 0, -1 (cancelled
// or the selection is full) or an error id.
int ConvertChunk(const uint8_t* data, int32_t n);

// The selection is full: further output is dropped.
bool ConverterFull();

// Puts what the steps still hold into the document: an encoder's last
// partial block, padded with silence. 0, -1 (the selection is full) or an
// error id. CloseConverter does it when it was not called.
int FinishConverter();

// Samples the converted sound holds: for a compressed destination the PCM
// samples that went into its encoder (the padding not counted), for PCM the
// blocks made; -1 when unknown.
int32_t ConverterOutputSamples();

// Closes the converter; returns the output position reached.
int32_t CloseConverter();

// Destination blocks that `blocks` source blocks become (sourceSamples >= 0:
// the exact sample count of a compressed source), as the converter makes
// them.
int32_t ConvertedLength(const Form& source, int32_t blocks, const Form& destination, int32_t sourceSamples);

// The samples the document holds. For a compressed document the exact count
// is known when it came from a file with a "fact" chunk or was encoded here,
// as long as its length and format stay those it was recorded with;
// otherwise it is estimated from the blocks.
int32_t DocumentSamples();
// The exact count, or -1 when not known.
int32_t ExactDocumentSamples();
// Records the exact count for the document's current length and format, at
// most what its blocks decode to; negative forgets it.
void SetDocumentSamples(int32_t samples);
