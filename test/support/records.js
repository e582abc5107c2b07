'use strict';
// Hand-made share records and list entries for the raw results of the simulator.

// A share record: 48-byte header, then the texts. `offsets` may override any
// text offset (for example 0xFFFFFFFF or one past the area).
function shareRecord({ type = 0, nameSpace = 0, features = [0, 0, 0], texts = {}, offsets = {}, stringsLength, openFiles = 0 }) {
  const order = ['name', 'volumeName', 'comment', 'relativePath', 'absolutePath'];
  const header = Buffer.alloc(48);
  header.writeUInt16LE(type, 0);
  header.writeUInt32LE(nameSpace >>> 0, 8);
  header[12] = features[0];
  header[13] = features[1];
  header[14] = features[2];
  header.writeUInt32LE(0xffffffff, 36);
  header.writeUInt32LE(openFiles, 40);
  const parts = [];
  let used = 0;
  order.forEach((key, i) => {
    let offset = 0xffffffff;
    if (texts[key] !== undefined) {
      offset = used;
      const bytes = Buffer.from(`${texts[key]}\0`);
      parts.push(bytes);
      used += bytes.length;
    }
    if (offsets[key] !== undefined) offset = offsets[key];
    header.writeUInt32LE(offset >>> 0, 16 + 4 * i);
  });
  header.writeUInt32LE(stringsLength ?? used, 44);
  return Buffer.concat([header, ...parts]);
}

module.exports = { shareRecord };
