// Hands the user a file: text, or a data: URL (a PNG) as it comes.
export function download(name, type, content) {
  const isUrl = typeof content === 'string' && content.startsWith('data:');
  const url = isUrl ? content : URL.createObjectURL(new Blob([content], { type }));
  const link = document.createElement('a');
  link.href = url;
  link.download = name;
  document.body.appendChild(link);
  link.click();
  link.remove();
  if (!isUrl) setTimeout(() => URL.revokeObjectURL(url), 10000);
}
