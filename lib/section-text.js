'use strict';
// The one converter between the simulator's sections and JavaScript records.
// A section is the text the state file holds for it: one line per item, its
// tag then its fields separated by tabs, each field escaping "\\", tab,
// newline and every other control character ("\\", "\t", "\n", "\xNN").
// A record type is described by its lines: the tag, the fields in line order
// as [key, kind, default], and the tags of lines that follow it to fill its
// lists. A field without a key is written as its default and never read.

function escapeField(text) {
  return text.replace(/[\x00-\x1f\x7f\\]/g, (c) => {
    if (c === '\\') return '\\\\';
    if (c === '\t') return '\\t';
    if (c === '\n') return '\\n';
    return `\\x${c.charCodeAt(0).toString(16).padStart(2, '0')}`;
  });
}

function unescapeField(field) {
  return field.replace(/\\(x[0-9a-f]{2}|.)/g, (_, e) => {
    if (e === 't') return '\t';
    if (e === 'n') return '\n';
    if (e === '\\') return '\\';
    return String.fromCharCode(parseInt(e.slice(1), 16));
  });
}

// Field kinds: `write` turns a value into field text or throws a TypeError
// naming `what`; `read` turns field text into a value.
const text = {
  write(value, what) {
    if (typeof value !== 'string') throw new TypeError(`${what} must be a string`);
    return value;
  },
  read: (field) => field,
};

const flag = {
  write(value, what) {
    if (typeof value !== 'boolean') throw new TypeError(`${what} must be a boolean`);
    return value ? '1' : '0';
  },
  read: (field) => field === '1',
};

function integer(min, max) {
  return {
    write(value, what) {
      if (!Number.isInteger(value) || value < min || value > max) {
        throw new TypeError(`${what} must be an integer from ${min} to ${max}`);
      }
      return String(value);
    },
    read: Number,
  };
}

// 64-bit fields take a safe integer or a BigInt and read back as BigInts, so
// no value is rounded either way.
function wide(min, max) {
  return {
    write(value, what) {
      const ok = typeof value === 'bigint' || Number.isSafeInteger(value);
      if (!ok || BigInt(value) < min || BigInt(value) > max) {
        throw new TypeError(`${what} must be a safe integer or a BigInt from ${min} to ${max}`);
      }
      return String(value);
    },
    read: BigInt,
  };
}

const kinds = {
  text,
  flag,
  i32: integer(-(2 ** 31), 2 ** 31 - 1),
  u16: integer(0, 0xffff),
  u32: integer(0, 0xffffffff),
  i64: wide(-(2n ** 63n), 2n ** 63n - 1n),
  u64: wide(0n, 2n ** 64n - 1n),
};

// The line kind an item is written as: the first whose `when` accepts it.
function lineFor(lines, item) {
  return lines.find((line) => !line.when || line.when(item)) || lines[0];
}

function formatLine(tag, fields) {
  return `${[tag, ...fields.map(escapeField)].join('\t')}\n`;
}

// The section text of `items`; a TypeError naming `what` for an item or a
// value its field cannot hold.
function format(lines, items, what) {
  if (!Array.isArray(items)) throw new TypeError(`${what}: the list must be an array`);
  return items.map((item, i) => {
    const line = lineFor(lines, item);
    if (line.bare) return formatLine(line.tag, [line.fields[0][1].write(item, `${what}: entry ${i}`)]);
    if (item === null || typeof item !== 'object') throw new TypeError(`${what}: entry ${i} must be an object`);
    const fields = line.fields.map(([key, kind, fallback]) => {
      const value = key === undefined || item[key] === undefined ? fallback : item[key];
      return kind.write(value, `${what}: ${key} of entry ${i}`);
    });
    const lists = Object.entries(line.lists || {}).map(([key, tag]) => {
      const values = item[key] === undefined ? [] : item[key];
      if (!Array.isArray(values)) throw new TypeError(`${what}: ${key} of entry ${i} must be an array`);
      return values.map((value) => formatLine(tag, [text.write(value, `${what}: ${key} of entry ${i}`)])).join('');
    });
    return formatLine(line.tag, fields) + lists.join('');
  }).join('');
}

// The records of a section's text; lines of tags the description does not
// name (such as the next order to hand out) are passed over.
function parse(lines, sectionText) {
  const items = [];
  for (const row of sectionText.split('\n')) {
    if (row === '') continue;
    const [tag, ...fields] = row.split('\t').map(unescapeField);
    const line = lines.find((l) => l.tag === tag);
    if (line) {
      if (line.bare) {
        items.push(line.fields[0][1].read(fields[0]));
        continue;
      }
      const item = {};
      line.fields.forEach(([key, kind], i) => {
        if (key !== undefined) item[key] = kind.read(fields[i]);
      });
      for (const key of Object.keys(line.lists || {})) item[key] = [];
      items.push(item);
      continue;
    }
    const parent = items.at(-1);
    const owner = parent && lines.find((l) => Object.values(l.lists || {}).includes(tag));
    if (owner) parent[Object.keys(owner.lists).find((key) => owner.lists[key] === tag)].push(fields[0]);
  }
  return items;
}

module.exports = { kinds, format, parse };
