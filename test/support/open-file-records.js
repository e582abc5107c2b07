'use strict';
// Hand-made open files results for the simulator's raw answers, and a reader
// of the list request pages the addon sent, as the call log keeps them.
// Texts are NUL-terminated UTF-8 at offsets counted from each string area;
// 0xFFFFFFFF marks an absent text.

const ABSENT = 0xffffffff;
const REQUEST_HEADER = 28;
const RECORD_HEADER = 40;
const RESULT_HEADER = 24;

// The texts back to back, each with its NUL, and where each starts.
function layOut(texts) {
  const offsets = [];
  let used = 0;
  const parts = texts.map((text) => {
    offsets.push(used);
    const bytes = Buffer.from(`${text}\0`);
    used += bytes.length;
    return bytes;
  });
  return { area: Buffer.concat(parts), offsets };
}

// An open file record: the 40-byte header, then the name, share name, full
// path, user name and client address. `offsets` overrides any text offset
// (keys as the arguments), `stringsLength` the declared length of the area.
function openFileRecord({
  sessionID = 0, ID = 0, accessMask = 0, lockLevel = 0, name = '', shareName = '', fullPath = '',
  userName = '', clientIPAddress = '', offsets = {}, stringsLength,
} = {}) {
  const keys = ['name', 'shareName', 'fullPath', 'userName', 'clientIPAddress'];
  const { area, offsets: at } = layOut([name, shareName, fullPath, userName, clientIPAddress]);
  const header = Buffer.alloc(RECORD_HEADER);
  [sessionID, ID, accessMask, lockLevel].forEach((v, i) => header.writeUInt32LE(v >>> 0, 4 * i));
  keys.forEach((key, i) => header.writeUInt32LE((offsets[key] ?? at[i]) >>> 0, 16 + 4 * i));
  header.writeUInt32LE((stringsLength ?? area.length) >>> 0, 36);
  return Buffer.concat([header, area]);
}

// A result header: the cookie, then the shared memory object's name, in its
// string area. `shmSize` (number or bigint) is written as given, so it can
// claim more than the object holds; `offsets` overrides {cookie, shmName}.
function resultHeader({ count = 0, cookie = '', shmName = '', shmSize = 0, offsets = {} } = {}) {
  const { area, offsets: at } = layOut([cookie, shmName]);
  const header = Buffer.alloc(RESULT_HEADER);
  header.writeUInt32LE(count >>> 0, 0);
  header.writeUInt32LE((offsets.cookie ?? at[0]) >>> 0, 4);
  header.writeUInt32LE((offsets.shmName ?? at[1]) >>> 0, 8);
  header.writeBigUInt64LE(BigInt(shmSize), 16);
  return Buffer.concat([header, area]);
}

// The text at `offset` of `area`, or null when absent, outside or unterminated.
function textAt(area, offset) {
  if (offset === ABSENT || offset >= area.length) return null;
  const nul = area.indexOf(0, offset);
  return nul < 0 ? null : area.toString('utf8', offset, nul);
}

// The filter block at `at` of the request's string area; entries that do not
// fit the area are left out. Each entry keeps its raw `strings` bytes too, for
// checks of cut patterns to the byte.
function parseFilterBlock(area, at) {
  if (at + 12 > area.length) return null;
  const block = {
    filterCount: area[at], matchType: area.readUInt32LE(at + 4), entriesLength: area.readUInt32LE(at + 8), entries: [],
  };
  let pos = at + 12;
  for (let i = 0; i < block.filterCount && pos + 20 <= area.length; i += 1) {
    const entry = {
      filterType: area.readUInt32LE(pos),
      patternCount: area[pos + 4],
      patternsOffset: area.readUInt32LE(pos + 12),
      stringsLength: area.readUInt32LE(pos + 16),
    };
    entry.strings = area.subarray(pos + 20, pos + 20 + entry.stringsLength);
    const texts = entry.strings.toString('utf8').split('\0');
    entry.filterBy = texts[0];
    entry.patterns = texts.slice(1, 1 + entry.patternCount);
    block.entries.push(entry);
    pos += 20 + entry.stringsLength;
  }
  return block;
}

// A list request page as logged: header fields, texts, and the filter block.
function parseListRequest(buf) {
  if (!Buffer.isBuffer(buf) || buf.length < REQUEST_HEADER) throw new TypeError('not a list request page');
  const u32 = (at) => buf.readUInt32LE(at);
  const stringsLength = u32(24);
  const area = buf.subarray(REQUEST_HEADER, REQUEST_HEADER + Math.min(stringsLength, buf.length - REQUEST_HEADER));
  const page = {
    connection: u32(0),
    ignoreCount: u32(4),
    returnCount: u32(8),
    cookieOffset: u32(12),
    volumeNameOffset: u32(16),
    filtersOffset: u32(20),
    stringsLength,
    length: buf.length,
  };
  page.volumeName = textAt(area, page.volumeNameOffset);
  page.cookie = textAt(area, page.cookieOffset);
  page.filters = page.filtersOffset === ABSENT ? null : parseFilterBlock(area, page.filtersOffset);
  return page;
}

module.exports = { openFileRecord, resultHeader, parseListRequest, ABSENT };
// The readers of the invalid users request pages share these.
module.exports.parseFilterBlock = parseFilterBlock;
module.exports.textAt = textAt;
