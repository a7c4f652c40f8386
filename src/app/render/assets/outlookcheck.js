// Measures a page for the Outlook check. Elements carry the number the check
// gave them in data-quillery-box, so the page as a browser shows it and its
// Outlook model can be compared element by element.
//
// "browser": on the page as a browser shows it, the boxes an author set side
// by side (inline-block, flex or grid items, floats) and the links dressed as
// buttons (padding on the link itself, a background colour on it or on the
// cell that holds nothing else).
// "outlook": on the model, the same boxes and links, and the rows, buttons and
// taglines of the shipped templates' own classes.
(function (phase, found) {
  const box = e => e.getBoundingClientRect();
  const shown = r => r.width > 0 && r.height > 0;
  const number = e => e.getAttribute('data-quillery-box');
  const byNumber = n => document.querySelector('[data-quillery-box="' + n + '"]');
  const text = e => e.textContent.replace(/\s+/g, ' ').trim();
  // Beside: no horizontal overlap but a vertical one (a box may be centred on
  // a taller one).
  const beside = (a, b) => (a.left >= b.right - 2 || a.right <= b.left + 2) &&
                           a.top < b.bottom && a.bottom > b.top;
  const besideFirst = rects => rects.filter(r => r === rects[0] || beside(r, rects[0])).length;
  const colour = s => {
    const m = s.match(/rgba?\(([^)]+)\)/);
    if (!m) return null;
    const p = m[1].split(',').map(Number);
    return p.length > 3 && p[3] < 0.5 ? null : p.slice(0, 3).join(',');
  };
  // The first line of what a box shows, to name it by.
  const firstLine = e => (e.innerText || '').split('\n').map(l => l.trim()).find(l => l) || '';
  // Whether `parent` holds nothing but `child` (and blanks or comments).
  const holdsOnly = (parent, child) =>
    parent.childElementCount === 1 && parent.childNodes.length <= 8 &&
    [...parent.childNodes].every(n => n === child || n.nodeType === Node.COMMENT_NODE ||
                                      (n.nodeType === Node.TEXT_NODE && !n.textContent.trim()));
  // The link and the boxes around it that hold nothing else, innermost first.
  const around = link => {
    const boxes = [link];
    for (let e = link; boxes.length < 6 && e.parentElement && holdsOnly(e.parentElement, e);
         e = e.parentElement)
      boxes.push(e.parentElement);
    return boxes;
  };
  // The colour a button is painted in: its link's, or that of the innermost
  // box around it that has one.
  const paintOf = link => {
    for (const e of around(link)) {
      const paint = colour(getComputedStyle(e).backgroundColor);
      if (paint) return paint;
    }
    return null;
  };
  // The space between a button's label and the edge of its colour: the
  // largest box of that colour around the link.
  const buttonPadding = link => {
    const paint = paintOf(link);
    let outer = null;
    for (const e of around(link)) {
      if (paint && colour(getComputedStyle(e).backgroundColor) === paint) outer = box(e);
    }
    const range = document.createRange();
    range.selectNodeContents(link);
    const inner = range.getBoundingClientRect();
    if (!outer || !shown(inner)) return null;
    return {x: Math.round(outer.width - inner.width), y: Math.round(outer.height - inner.height)};
  };

  if (phase === 'browser') {
    const groups = [];
    for (const parent of document.body ? document.body.querySelectorAll('*') : []) {
      const laidOut = /flex|grid/.test(getComputedStyle(parent).display);
      // A row of more boxes than a page could show is no layout to check.
      if (parent.childElementCount > 200) continue;
      const items = [...parent.children].filter(c => {
        if (!number(c) || c.classList.contains('q-col') || !shown(box(c))) return false;
        const style = getComputedStyle(c);
        return laidOut || /^inline-(block|flex|grid)$/.test(style.display) ||
               style.float !== 'none';
      });
      // Items that wrap form rows of their own, each checked apart.
      for (let rest = items; rest.length >= 2;) {
        const first = box(rest[0]);
        const row = rest.filter(c => c === rest[0] || beside(box(c), first));
        rest = rest.filter(c => !row.includes(c));
        if (row.length >= 2)
          groups.push({boxes: row.map(number),
                       label: firstLine(row[0]).slice(0, 40) || row[0].localName});
      }
    }
    const buttons = [];
    for (const link of document.querySelectorAll('a[data-quillery-box]')) {
      if (link.closest('td.q-button') || !text(link) || !shown(box(link))) continue;
      const style = getComputedStyle(link);
      const across = parseFloat(style.paddingLeft) + parseFloat(style.paddingRight);
      const down = parseFloat(style.paddingTop) + parseFloat(style.paddingBottom);
      if ((across < 8 && down < 6) || !paintOf(link)) continue;
      const padding = buttonPadding(link);
      if (padding)
        buttons.push({box: number(link), label: text(link).slice(0, 40), x: padding.x,
                      y: padding.y});
    }
    return JSON.stringify({groups, buttons});
  }

  const rows = new Map();
  for (const col of document.querySelectorAll('.q-col')) {
    const row = col.parentElement.closest('td.q-panel');
    if (!rows.has(row)) rows.set(row, []);
    rows.get(row).push(box(col));
  }
  const right = document.documentElement.scrollWidth;
  return JSON.stringify({
    rows: [...rows.values()].map(cols => ({
      columns: cols.length,
      besideFirst: besideFirst(cols),
      overflow: cols.some(c => c.right > right + 1)
    })),
    buttons: [...document.querySelectorAll('td.q-button')].map(td => {
      const cell = box(td), label = box(td.querySelector('a') || td);
      return {label: text(td), x: Math.round(cell.width - label.width),
              y: Math.round(cell.height - label.height)};
    }),
    taglines: [...document.querySelectorAll('.q-brand')].map(brand => {
      const cell = brand.parentElement.closest('td.q-band, td.q-panel');
      if (!cell) return true;
      const walker = document.createTreeWalker(cell, NodeFilter.SHOW_TEXT);
      let brandBottom = null;
      while (walker.nextNode()) {
        const node = walker.currentNode;
        if (!node.textContent.trim()) continue;
        const range = document.createRange();
        range.selectNodeContents(node);
        const r = range.getBoundingClientRect();
        if (brand.contains(node)) brandBottom = Math.max(brandBottom ?? 0, r.bottom);
        else if (brandBottom !== null) return r.top >= brandBottom - 1;
      }
      return true;
    }),
    // Of each group, the boxes the model still shows, and how many of those
    // sit beside the first.
    groups: found.groups.map(group => {
      const rects = group.boxes.map(byNumber).filter(e => e).map(box).filter(shown);
      return {shown: rects.length, besideFirst: besideFirst(rects)};
    }),
    links: found.buttons.map(button => {
      const link = byNumber(button.box);
      return link && shown(box(link)) ? buttonPadding(link) : null;
    })
  });
})
