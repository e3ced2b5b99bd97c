#pragma once
// Line ends of text (TYPE A) transfers, converted as Unix FTP clients do: the
// data connection carries CR LF, local files have LF. One converter serves one
// transfer, block by block; a line end split across two blocks is converted
// as if the blocks were one.

#include <cstddef>

class FtpTextConverter {
public:
    // Data from the server: CR LF becomes LF, and any other CR stays. A CR at
    // the end of a block is held back until the next block shows what
    // follows it. Writes at most count + 1 bytes to `out` and returns how
    // many it wrote.
    std::size_t ToLocal(const char* in, std::size_t count, char* out);
    // The end of the data: a CR still held back is a lone CR. Writes 0 or 1
    // byte to `out`.
    std::size_t FinishToLocal(char* out);
    // Data for the server: an LF without a CR before it becomes CR LF; a CR LF
    // and a lone CR stay as they are. Writes at most 2 * count bytes.
    std::size_t ToWire(const char* in, std::size_t count, char* out);

private:
    bool heldCr_ = false;   // ToLocal: the last block ended with a CR
    bool afterCr_ = false;  // ToWire: the last byte sent was a CR
};
